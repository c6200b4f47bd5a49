// Transforms fitted against an independent least-squares solver, degenerate
// points, control-point files; coordinate arrays and their files.
#include <gtest/gtest.h>

#include <cmath>
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

// min |A k - t| by Householder QR, A given as rows.
Vec LeastSquares(std::vector<Vec> a, Vec t) {
  const size_t n = a.size(), m = a[0].size();
  for (size_t j = 0; j < m; ++j) {
    double norm = 0;
    for (size_t i = j; i < n; ++i) norm += a[i][j] * a[i][j];
    norm = std::sqrt(norm);
    Vec v(n, 0.0);
    for (size_t i = j; i < n; ++i) v[i] = a[i][j];
    v[j] += a[j][j] > 0 ? norm : -norm;
    double vv = 0;
    for (size_t i = j; i < n; ++i) vv += v[i] * v[i];
    auto reflect = [&](auto&& at) {
      double dot = 0;
      for (size_t i = j; i < n; ++i) dot += v[i] * at(i);
      for (size_t i = j; i < n; ++i) at(i) -= 2 * dot / vv * v[i];
    };
    for (size_t k = j; k < m; ++k) reflect([&](size_t i) -> double& { return a[i][k]; });
    reflect([&](size_t i) -> double& { return t[i]; });
  }
  Vec k(m);
  for (size_t j = m; j-- > 0;) {
    double s = t[j];
    for (size_t l = j + 1; l < m; ++l) s -= a[j][l] * k[l];
    k[j] = s / a[j][j];
  }
  return k;
}

struct Rng {
  uint64_t state;
  double Next() {  // uniform in [-1, 1)
    state = state * 6364136223846793005u + 1442695040888963407u;
    return static_cast<double>(state >> 11) / 4503599627370496.0 - 1.0;
  }
};

const double kTarget3[] = {100, 200, 110, 200, 100, 190};
const double kSource3[] = {0, 0, 1, 0, 0, 1};

TEST(AffineTransform, NoisyPointsMatchAnIndependentLeastSquaresFit) {
  struct Case {
    double scale, ox, oy, noise;
    int n;
  } cases[] = {
      {1, 0, 0, 0.1, 10}, {1000, 5e5, 6.2e6, 0.5, 50}, {1e-3, 30, 60, 1e-6, 7}, {10, -3, 4, 2, 4}};
  Rng rng{7};
  for (const Case& k : cases) {
    Vec source, target;
    std::vector<Vec> rows;
    Vec tx, ty;
    for (int i = 0; i < k.n; ++i) {
      double x = k.ox + k.scale * rng.Next(), y = k.oy + k.scale * rng.Next();
      double X = 3.2 * x - 1.1 * y + 500 + k.noise * rng.Next();
      double Y = 0.7 * x + 2.4 * y - 42 + k.noise * rng.Next();
      source.insert(source.end(), {x, y});
      target.insert(target.end(), {X, Y});
      rows.push_back({x, y, 1});
      tx.push_back(X);
      ty.push_back(Y);
    }
    Vec qx = LeastSquares(rows, tx), qy = LeastSquares(rows, ty);
    auto* t = new itrans::TTransform(target.data(), source.data(), k.n);
    const double reference[] = {qx[0], qx[1], qx[2], qy[0], qy[1], qy[2]};
    for (int i = 0; i < 6; ++i)
      EXPECT_NEAR(static_cast<double>(t->Coefficients()[i]), reference[i],
                  1e-8 * (1 + std::fabs(reference[i]) + std::fabs(k.ox) + std::fabs(k.oy)))
          << "scale " << k.scale << " coefficient " << i;
    t->Release();
  }
}

TEST(Transforms, DegeneratePointsGiveNull) {
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
}

// With noise: the same as an independent fit of the four unknowns.
TEST(OrtoTransform, MatchesAnIndependentLeastSquaresFit) {
  const double s = 2.5, angle = 0.5, p = s * std::cos(angle), q = s * std::sin(angle);
  Vec source = {0, 0, 100, 0, 0, 50, 30, 70, -20, 10};
  Vec target;
  for (size_t i = 0; i < source.size(); i += 2)
    target.insert(target.end(), {p * source[i] + q * source[i + 1] + 1000,
                                 -q * source[i] + p * source[i + 1] - 500});
  Rng rng{3};
  std::vector<Vec> rows;
  Vec rhs;
  for (size_t i = 0; i < source.size(); i += 2) {
    target[i] += rng.Next();
    target[i + 1] += rng.Next();
    rows.push_back({source[i], source[i + 1], 1, 0});
    rows.push_back({source[i + 1], -source[i], 0, 1});
    rhs.insert(rhs.end(), {target[i], target[i + 1]});
  }
  Vec reference = LeastSquares(rows, rhs);
  TAutoRelease<ITransform> fitted(CreateOrtoTransform(target.data(), source.data(), 5));
  ASSERT_TRUE(fitted);
  const double* k = static_cast<itranso::TTransform*>(fitted.Get())->Coefficients();
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(k[i], reference[i], 1e-9 * (1 + std::fabs(reference[i])));
}

TEST(Transforms, SingularTransformsRefuseTheInverse) {
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

// Control-point files (map x, map y, column, row): ten points on X = 2 col +
// 100, Y = -3 row + 50 and two far off; the map columns swapped; two points.
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
  EXPECT_EQ(LoadAffineTransformGeo(nullptr), nullptr);

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

TEST(Coords, SaveWritesFixedFieldsWithCrLf) {
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
}

TEST(Coords, LoadRules) {
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
  orvotest::TempDir dir;
  for (const Case& k : cases) {
    std::string file = dir.File("in.txt");
    orvotest::WriteFileBytes(file, k.text);
    TAutoRelease<ICoords> c(new orvo::TCoords(4));
    EXPECT_EQ(c->Load(file.c_str()), k.ok) << k.name;
    EXPECT_EQ(PointsOf(c.Get()), k.points) << k.name;
  }
}

TEST(Coords, IndexesOutsideTheArrayAreRefused) {
  orvo::TCoords c(2);
  const double p[] = {1, 2}, q[] = {3, 4}, r[] = {5, 6};
  EXPECT_EQ(c.AddPoint(p), 0);
  EXPECT_EQ(c.AddPoint(q), 1);
  EXPECT_EQ(c.AddPoint(r), 2);
  EXPECT_EQ(c.AddPoint(nullptr), -1);
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
}

TEST(Coords, UnopenableFilesGiveFalseAndCreateGivesNull) {
  orvotest::TempDir dir;
  orvo::TCoords c(4);
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
