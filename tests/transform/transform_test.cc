// Transforms by least squares, degenerate points, control points, coordinate arrays.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "base/holders.h"
#include "orvoapi.h"
#include "tests/support/temp_dir.h"
#include "transform/affine.h"
#include "transform/coords.h"
#include "transform/orto.h"
#include "transform/transform_factory.h"

namespace {

using orvo::TAutoRelease;
using Vec = std::vector<double>;
constexpr double kCosine = 1e-8;

// A least-squares fit leaves A k - t orthogonal to each column of A (rows given);
// long double, as residuals are small differences of large terms.
void ExpectLeastSquares(const std::vector<Vec>& a, const Vec& t,
                        const std::vector<long double>& k) {
  std::vector<long double> r(t.size());
  for (size_t i = 0; i < a.size(); ++i) {
    r[i] = -t[i];
    for (size_t j = 0; j < k.size(); ++j) r[i] += a[i][j] * k[j];
  }
  for (size_t j = 0; j < k.size(); ++j) {
    long double dot = 0, aa = 0, rr = 0;
    for (size_t i = 0; i < a.size(); ++i)
      dot += a[i][j] * r[i], aa += a[i][j] * a[i][j], rr += r[i] * r[i];
    EXPECT_LT(double(std::fabs(dot) / std::sqrt(aa * rr)), kCosine) << "column " << j;
  }
}

const double kTarget3[] = {100, 200, 110, 200, 100, 190};
const double kSource3[] = {0, 0, 1, 0, 0, 1};

TEST(Transforms, NoisyPointsAreFittedByLeastSquares) {
  struct Case {
    double scale, ox, oy, noise;
    int n;
  } cases[] = {
      {1, 0, 0, 0.1, 10}, {1000, 5e5, 6.2e6, 0.5, 50}, {1e-3, 30, 60, 1e-6, 7}, {10, -3, 4, 2, 4}};
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> u(-1, 1);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.scale);
    Vec source, target, tx, ty;
    std::vector<Vec> rows;
    for (int i = 0; i < k.n; ++i) {
      double x = k.ox + k.scale * u(rng), y = k.oy + k.scale * u(rng);
      tx.push_back(3.2 * x - 1.1 * y + 500 + k.noise * u(rng));
      ty.push_back(0.7 * x + 2.4 * y - 42 + k.noise * u(rng));
      source.insert(source.end(), {x, y});
      target.insert(target.end(), {tx.back(), ty.back()});
      rows.push_back({x, y, 1});
    }
    auto* t = new itrans::TTransform(target.data(), source.data(), k.n);
    const long double* c = t->Coefficients();
    ExpectLeastSquares(rows, tx, {c[0], c[1], c[2]});
    ExpectLeastSquares(rows, ty, {c[3], c[4], c[5]});
    t->Release();
  }
  // A similarity has four unknowns: X = p x + q y + e, Y = p y - q x + f.
  const double s = 2.5, angle = 0.5, p = s * std::cos(angle), q = s * std::sin(angle);
  const Vec source = {0, 0, 100, 0, 0, 50, 30, 70, -20, 10};
  Vec target;
  std::vector<Vec> rows;
  for (size_t i = 0; i < source.size(); i += 2) {
    const double x = source[i], y = source[i + 1];
    target.insert(target.end(), {p * x + q * y + 1000 + u(rng), -q * x + p * y - 500 + u(rng)});
    rows.push_back({x, y, 1, 0});
    rows.push_back({y, -x, 0, 1});
  }
  TAutoRelease<ITransform> fitted(CreateOrtoTransform(target.data(), source.data(), 5));
  ASSERT_TRUE(fitted);
  const double* k = static_cast<itranso::TTransform*>(fitted.Get())->Coefficients();
  ExpectLeastSquares(rows, target, {k[0], k[1], k[2], k[3]});
}

TEST(Transforms, DegeneratePointsGiveNullAndSingularOnesNoInverse) {
  const double nan = std::nan("");
  struct Case {
    const char* name;
    Vec source;
    bool orto_fits;  // a similarity needs only two distinct points
  } cases[] = {
      {"collinear", {0, 0, 1, 1, 2, 2}, true},
      {"collinear decimals", {0.1, 0.3, 0.2, 0.6, 0.3, 0.9, 0.7, 2.1}, true},
      {"collinear far away", {5e5 + 0.1, 6e6, 5e5 + 0.2, 6e6 + 0.3, 5e5 + 0.3, 6e6 + 0.6}, true},
      {"zero x", {0, 0, 0, 1, 0, 2}, true},
      {"coinciding", {3, 4, 3, 4, 3, 4}, false},
      {"two points", {0, 0, 1, 0}, false},
      {"no points", {}, false},
      {"not a number", {0, 0, 1, 0, nan, 1}, false},
  };
  for (const Case& k : cases) {
    Vec target(k.source.size());
    for (size_t i = 0; i < target.size(); ++i) target[i] = 2 * k.source[i] + 1;
    const int32_t n = static_cast<int32_t>(k.source.size() / 2);
    EXPECT_EQ(CreateAffineTransform(target.data(), k.source.data(), n), nullptr) << k.name;
    TAutoRelease<ITransform> orto(CreateOrtoTransform(target.data(), k.source.data(), n));
    EXPECT_EQ(orto.Get() != nullptr, k.orto_fits) << k.name;
  }
  EXPECT_EQ(CreateAffineTransform(nullptr, kSource3, 3), nullptr);
  EXPECT_EQ(CreateOrtoTransform(kTarget3, nullptr, 3), nullptr);
  EXPECT_THROW(orvo::NewAffineTransform(kTarget3, kSource3, 2), const char*);
  ITransform* singular[] = {new itrans::TTransform(1, 2, 5, 2, 4, 6),
                            new itranso::TTransform(0, 0, 5, 6)};
  for (ITransform* t : singular) {
    EXPECT_FALSE(t->IsValid());
    double out[2] = {-1, -1};
    const double in[2] = {3, 4};
    EXPECT_FALSE(t->InverseTransform(out, in, 1));
    EXPECT_EQ(out[0], -1.0);
    EXPECT_TRUE(t->Transform(out, in, 1));
    t->Release();
  }
}

// Files of ten points on X = 2 col + 100, Y = -3 row + 50 and two far off; swapped; two.
TEST(ControlPoints, FilesAndArrays) {
  orvotest::TempDir dir;
  std::string twelve, geo;
  for (int i = 0; i < 12; ++i) {
    const int col = i % 4, row = i / 4 + i % 3;
    const std::string x = std::to_string(2 * col + 100 + (i >= 10 ? 1000 : 0));
    const std::string y = std::to_string(-3 * row + 50),
                      pixel = " " + std::to_string(col) + " " + std::to_string(row) + "\n";
    twelve += x + " " + y + pixel;
    geo += y + " " + x + pixel;
  }
  orvotest::WriteFileBytes(dir.File("twelve.corners"), twelve);
  orvotest::WriteFileBytes(dir.File("geo.corners"), geo);
  orvotest::WriteFileBytes(dir.File("two.corners"),
                           twelve.substr(0, twelve.find('\n', twelve.find('\n') + 1) + 1));
  const std::string files[] = {dir.File("twelve.corners"), dir.File("geo.corners"),
                               dir.File("two.corners")};
  const double pixel[] = {7, -3};
  for (ITransform* t :
       {LoadAffineTransform(files[0].c_str()), LoadAffineTransformGeo(files[1].c_str()),
        LoadOrtoTransform(files[0].c_str())}) {
    ASSERT_NE(t, nullptr);
    double out[2];
    t->Transform(out, pixel, 1);
    if (dynamic_cast<itrans::TTransform*>(t) != nullptr) {
      EXPECT_NEAR(out[0], 114, 1e-9);
      EXPECT_NEAR(out[1], 59, 1e-9);
    }
    t->Release();
  }
  EXPECT_EQ(LoadAffineTransform(files[2].c_str()), nullptr);
  EXPECT_EQ(LoadOrtoTransform(files[2].c_str()), nullptr);
  EXPECT_EQ(LoadAffineTransform(dir.File("missing").c_str()), nullptr);

  TAutoRelease<ICoords> three(CreateCoords(files[0].c_str(), 3));
  EXPECT_EQ(CreateAffineTransformFromCooords(three.Get()), nullptr);
  EXPECT_EQ(CreateAffineTransformFromCooords(nullptr), nullptr);
  TAutoRelease<ICoords> all(CreateCoords(files[0].c_str(), 4));
  ASSERT_TRUE(all);
  TAutoRelease<ITransform> t(CreateAffineTransformFromCooords(all.Get()));
  ASSERT_TRUE(t);
  EXPECT_EQ(all->GetCount(), 12);  // the array stays the caller's
}

using Points = std::vector<std::vector<double>>;

Points PointsOf(ICoords* c) {
  Points out;
  for (int32_t i = 0; i < c->GetCount(); ++i)
    out.emplace_back(c->GetPoint(i), c->GetPoint(i) + c->GetDimension());
  return out;
}

TEST(Coords, SaveWritesFixedFieldsWithCrLfAndLoadFollowsItsRules) {
  orvotest::TempDir dir;
  TAutoRelease<ICoords> c(new orvo::TCoords(3));
  const double a[] = {1.5, -0.5, 0.99999999999};
  const double b[] = {1e12, -0.0, 0.12345678904};
  c->AddPoint(a);
  c->AddPoint(b);
  std::string file = dir.File("p.txt");
  ASSERT_TRUE(c->Save(file.c_str()));
  EXPECT_EQ(orvotest::ReadFileBytes(file),
            "        1.5000000000        -0.5000000000         1.0000000000 \r\n"
            "1000000000000.0000000000        -0.0000000000         0.1234567890 \r\n");
  // Reading the file back gives the written values.
  TAutoRelease<ICoords> back(new orvo::TCoords(3));
  ASSERT_TRUE(back->Load(file.c_str()));
  EXPECT_EQ(PointsOf(back.Get()), (Points{{1.5, -0.5, 1.0}, {1e12, -0.0, 0.123456789}}));

  const std::string long_blank(700, ' ');
  const std::string long_number = std::string(600, '0') + "2.5";
  struct Case {
    const char* name;
    std::string text;
    bool ok;
    Points points;
  } cases[] = {
      {"crlf with heading",
       "x y col row\r\n1 2 3 4\r\n5.5 6 7 8\r\n",
       true,
       {{1, 2, 3, 4}, {5.5, 6, 7, 8}}},
      {"lf", "1 2 3 4\n\n-1 -2 -3 -4\n", true, {{1, 2, 3, 4}, {-1, -2, -3, -4}}},
      {"cr, no final end", "1 2 3 4\r\t5\t6 7 8", true, {{1, 2, 3, 4}, {5, 6, 7, 8}}},
      {"six values keep four", "1 2 3 4 5 6\n", true, {{1, 2, 3, 4}}},
      {"words after the values", "1 2 3 4 corner\n", true, {{1, 2, 3, 4}}},
      {"exponent and dot", "1e3 -.5 0.25 7\n", true, {{1000, -0.5, 0.25, 7}}},
      {"decimal comma is not read", "1,5 2 3 4\n", true, {{1, 2, 3, 4}}},
      {"longer than a read chunk",
       long_blank + "1 " + long_number + " 3 4\n",
       true,
       {{1, 2.5, 3, 4}}},
      {"empty file", "", true, {}},
      {"short line stops, earlier points stay",
       "1 2 3 4\n12.5 7\n5 6 7 8\n",
       false,
       {{1, 2, 3, 4}}},
      {"leading plus ends the values", "1 2 +3 4\n", false, {}},
      {"word inside the values", "1 2 x 3 4\n", false, {}},
  };
  for (const Case& k : cases) {
    std::string file = dir.File("in.txt");
    orvotest::WriteFileBytes(file, k.text);
    TAutoRelease<ICoords> c(new orvo::TCoords(4));
    EXPECT_EQ(c->Load(file.c_str()), k.ok) << k.name;
    EXPECT_EQ(PointsOf(c.Get()), k.points) << k.name;
  }
}

TEST(Coords, IndexesOutsideTheArrayAndUnopenableFilesAreRefused) {
  orvo::TCoords c(2);
  const double p[] = {1, 2}, q[] = {3, 4}, r[] = {5, 6};
  EXPECT_EQ((std::array{c.AddPoint(p), c.AddPoint(q), c.AddPoint(r), c.AddPoint(nullptr)}),
            (std::array{0, 1, 2, -1}));
  double* last = c.GetPoint(2);
  EXPECT_TRUE(c.DeletePoint(1));
  EXPECT_EQ(c.GetPoint(1), last);  // other points do not move
  EXPECT_EQ(c.GetValue(1, 1), 6.0);
  for (auto [index, component] : {std::pair{2, 0}, {-1, 0}, {0, 2}, {0, -1}})
    EXPECT_EQ(c.GetValue(index, component), 0.0) << index << "," << component;
  for (int32_t index : {2, -1}) {
    EXPECT_EQ(c.GetPoint(index), nullptr);
    EXPECT_FALSE(c.DeletePoint(index));
  }

  orvotest::TempDir dir;
  EXPECT_FALSE(c.Load(dir.File("missing.txt").c_str()));
  EXPECT_FALSE(c.Load(nullptr));
  EXPECT_FALSE(c.Save(dir.File("no/dir/p.txt").c_str()));
  EXPECT_FALSE(c.Save(nullptr));
  EXPECT_EQ(CreateCoords(dir.File("missing.txt").c_str(), 4), nullptr);
  EXPECT_EQ(CreateCoords(nullptr, 0), nullptr);
  std::string shrt = dir.File("short.txt");
  orvotest::WriteFileBytes(shrt, "12.5 7\n");
  EXPECT_EQ(CreateCoords(shrt.c_str(), 4), nullptr);
  EXPECT_NE(TAutoRelease<ICoords>(CreateCoords(shrt.c_str(), 2)).Get(), nullptr);
}

}  // namespace
