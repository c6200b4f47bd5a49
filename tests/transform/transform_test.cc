// Affine and orthogonal transforms: the fits against known maps and an
// independent least-squares solver, degenerate points, inverses, Clone, and
// the control-point exports.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/holders.h"
#include "orvoapi.h"
#include "tests/support/temp_dir.h"
#include "transform/affine.h"
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

double SumSquares(ITransform* t, const Vec& target, const Vec& source) {
  Vec out(source.size());
  t->Transform(out.data(), source.data(), static_cast<int32_t>(source.size() / 2));
  double s = 0;
  for (size_t i = 0; i < out.size(); ++i) s += (out[i] - target[i]) * (out[i] - target[i]);
  return s;
}

// The worked example of a fit through three points.
const double kTarget3[] = {100, 200, 110, 200, 100, 190};
const double kSource3[] = {0, 0, 1, 0, 0, 1};

TEST(AffineTransform, ThreePointsGiveTheExactCoefficients) {
  auto* t = new itrans::TTransform(kTarget3, kSource3, 3);
  const long double expected[] = {10, 0, 100, 0, -10, 200};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(t->Coefficients()[i], expected[i]) << i;
  double out[6];
  ASSERT_TRUE(t->Transform(out, kSource3, 3));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out[i], kTarget3[i]);
  t->Release();
}

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
    // No coefficients do better than the fitted ones.
    auto* q = new itrans::TTransform(qx[0], qx[1], qx[2], qy[0], qy[1], qy[2]);
    EXPECT_LE(SumSquares(t, target, source), SumSquares(q, target, source) * (1 + 1e-6));
    t->Release();
    q->Release();
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

TEST(Transforms, FailedComputeClearsValidAndKeepsCoefficients) {
  const double line[] = {0, 0, 1, 1, 2, 2};
  auto* a = new itrans::TTransform(kTarget3, kSource3, 3);
  EXPECT_FALSE(a->Compute(line, line, 3));
  EXPECT_FALSE(a->IsValid());
  EXPECT_EQ(a->Coefficients()[2], 100.0L);
  EXPECT_FALSE(a->Reserved1(1) || a->Reserved2(1));
  a->Release();
  auto* o = new itranso::TTransform(2, 1, 5, 6);
  EXPECT_FALSE(o->Compute(line, line, 2));
  EXPECT_FALSE(o->IsValid());
  EXPECT_EQ(o->Coefficients()[0], 2.0);
  EXPECT_FALSE(o->Reserved1(0) || o->Reserved2(0));
  o->Release();
}

TEST(OrtoTransform, RecoversRotationScaleAndShift) {
  const double s = 2.5, angle = 0.5, p = s * std::cos(angle), q = s * std::sin(angle);
  Vec source = {0, 0, 100, 0, 0, 50, 30, 70, -20, 10};
  Vec target;
  for (size_t i = 0; i < source.size(); i += 2)
    target.insert(target.end(), {p * source[i] + q * source[i + 1] + 1000,
                                 -q * source[i] + p * source[i + 1] - 500});
  auto* t = new itranso::TTransform(target.data(), source.data(), 5);
  const double expected[] = {p, q, 1000, -500};
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(t->Coefficients()[i], expected[i], 1e-12 * 1000) << i;
  t->Release();

  // With noise: the same as an independent fit of the four unknowns.
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

TEST(Transforms, InverseUndoesForwardInPlace) {
  Rng rng{11};
  Vec source, target;
  for (int i = 0; i < 8; ++i) {
    double x = 1000 * rng.Next(), y = 1000 * rng.Next();
    source.insert(source.end(), {x, y});
    target.insert(target.end(), {0.3 * x - 2 * y + 7 + rng.Next(), 1.5 * x + 0.2 * y - 9});
  }
  ITransform* transforms[] = {CreateAffineTransform(target.data(), source.data(), 8),
                              CreateOrtoTransform(target.data(), source.data(), 8),
                              new itranso::TTransform(0, 3, 10, 20)};  // a quarter turn
  for (ITransform* t : transforms) {
    ASSERT_NE(t, nullptr);
    Vec points = source;
    ASSERT_TRUE(t->Transform(points.data(), points.data(), 8));
    ASSERT_TRUE(t->InverseTransform(points.data(), points.data(), 8));
    for (size_t i = 0; i < points.size(); ++i) EXPECT_NEAR(points[i], source[i], 1e-9);
    t->Release();
  }
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

TEST(Transforms, CloneIsIndependentWithCountZero) {
  ITransform* originals[] = {CreateAffineTransform(kTarget3, kSource3, 3),
                             CreateOrtoTransform(kTarget3, kSource3, 3)};
  for (ITransform* t : originals) {
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->AddRef(), 1);
    ITransform* c = t->Clone();
    ASSERT_NE(c, nullptr);
    double a[6], b[6];
    t->Transform(a, kSource3, 3);
    EXPECT_EQ(t->Release(), 0);  // destroyed
    EXPECT_TRUE(c->IsValid());
    c->Transform(b, kSource3, 3);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(a[i], b[i]);
    EXPECT_EQ(c->Release(), 0);
  }
}

// Control-point files: map x, map y, column, row.
TEST(ControlPoints, FilesAndArrays) {
  orvotest::TempDir dir;
  auto write = [&](const char* name, const std::vector<Vec>& points) {
    TAutoRelease<ICoords> c(CreateCoords(nullptr, 4));
    for (const Vec& p : points) c->AddPoint(p.data());
    std::string file = dir.File(name);
    EXPECT_TRUE(c->Save(file.c_str()));
    return file;
  };
  // Ten points on X = 2*col + 100, Y = -3*row + 50, two far off after them.
  std::vector<Vec> points, swapped;
  for (int i = 0; i < 12; ++i) {
    double col = i % 4, row = i / 4 + (i % 3);
    Vec p = {2 * col + 100 + (i >= 10 ? 1000 : 0), -3 * row + 50, col, row};
    points.push_back(p);
    swapped.push_back({p[1], p[0], p[2], p[3]});
  }
  std::string twelve = write("twelve.corners", points);
  std::string geo = write("geo.corners", swapped);
  std::string two = write("two.corners", {points[0], points[1]});
  const double pixel[] = {7, -3};
  const double expected[] = {114, 59};
  for (ITransform* t : {LoadAffineTransform(twelve.c_str()), LoadAffineTransformGeo(geo.c_str()),
                        LoadOrtoTransform(twelve.c_str())}) {
    ASSERT_NE(t, nullptr);
    double out[2];
    t->Transform(out, pixel, 1);
    if (dynamic_cast<itrans::TTransform*>(t) != nullptr) {
      EXPECT_NEAR(out[0], expected[0], 1e-9);
      EXPECT_NEAR(out[1], expected[1], 1e-9);
    }
    t->Release();
  }
  EXPECT_EQ(LoadAffineTransform(two.c_str()), nullptr);
  EXPECT_EQ(LoadOrtoTransform(two.c_str()), nullptr);
  EXPECT_EQ(LoadAffineTransform(dir.File("missing").c_str()), nullptr);
  EXPECT_EQ(LoadAffineTransformGeo(nullptr), nullptr);
  EXPECT_EQ(orvo::LoadControlPointTransform(two.c_str(), false, false), nullptr);

  TAutoRelease<ICoords> three(CreateCoords(nullptr, 3));
  for (const Vec& p : points) three->AddPoint(p.data());
  EXPECT_EQ(CreateAffineTransformFromCooords(three.Get()), nullptr);
  EXPECT_EQ(CreateAffineTransformFromCooords(nullptr), nullptr);
  TAutoRelease<ICoords> all(CreateCoords(twelve.c_str(), 4));
  ASSERT_TRUE(all);
  TAutoRelease<ITransform> t(CreateAffineTransformFromCooords(all.Get()));
  ASSERT_TRUE(t);
  EXPECT_EQ(all->GetCount(), 12);  // the array stays the caller's
}

}  // namespace
