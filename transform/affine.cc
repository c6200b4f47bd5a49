// Affine transform: forward, inverse and the least-squares fit.
#include "transform/affine.h"

#include <cmath>
#include <new>

#include "base/errors.h"
#include "transform/fit.h"

namespace itrans {

const char kCantComputeAffineCoeffs[] = "can't compute affine coeffs";

TTransform::TTransform(const double* target, const double* source, int32_t count) {
  orvo::TOwnClass<TTransform, ITransform>::Note(this);
  if (!Compute(target, source, count)) orvo::Raise(kCantComputeAffineCoeffs);
}

TTransform::TTransform(long double a, long double b, long double c, long double d, long double e,
                       long double f)
    : k_{a, b, c, d, e, f}, valid_(a * e != b * d) {
  orvo::TOwnClass<TTransform, ITransform>::Note(this);
  CacheInverse();
}

void TTransform::CacheInverse() {
  const long double det = k_[0] * k_[4] - k_[1] * k_[3];
  inverse_det_ = det == 0 || !std::isfinite(det) ? 0 : 1 / det;
  for (int i = 0; i < 6; ++i) k_split_[i].Set(k_[i]);
  inverse_det_split_.Set(inverse_det_);
}

bool ORVO_STDCALL TTransform::Transform(double* dst, const double* src, int32_t count) {
  if (count <= 0) return true;
  if (dst == nullptr || src == nullptr) return false;
  const long double a = k_[0], b = k_[1], c = k_[2], d = k_[3], e = k_[4], f = k_[5];
  for (int32_t i = 0; i < count; ++i) {
    const long double x = src[2 * i], y = src[2 * i + 1];
    dst[2 * i] = static_cast<double>(a * x + b * y + c);
    dst[2 * i + 1] = static_cast<double>(d * x + e * y + f);
  }
  return true;
}

bool ORVO_STDCALL TTransform::InverseTransform(double* dst, const double* src, int32_t count) {
  // The determinant's reciprocal is kept with the coefficients: a query
  // multiplies instead of dividing twice.
  if (inverse_det_ == 0) return false;
  if (count <= 0) return true;
  if (dst == nullptr || src == nullptr) return false;
  for (int32_t i = 0; i < count; ++i)
    InverseOne(src[2 * i], src[2 * i + 1], &dst[2 * i], &dst[2 * i + 1]);
  return true;
}

bool ORVO_STDCALL TTransform::Compute(const double* target, const double* source, int32_t count) {
  valid_ = false;
  orvo::TPointSums s;
  if (!s.Accumulate(target, source, count)) return false;
  // The normal equations of X = a*x + b*y + c. About the means of the points
  // c drops out, and a, b solve the 2x2 system of the centred sums (Cramer's
  // rule); c then carries the source mean onto the target mean.
  const long double sxx = s.Cxx(), syy = s.Cyy(), sxy = s.Cxy();
  const long double det = sxx * syy - sxy * sxy;
  // Collinear or coinciding source points make det vanish up to rounding.
  if (!(det > orvo::kCollinearBound * sxx * syy) || !std::isfinite(det)) return false;
  long double k[6];
  const long double rows[2][3] = {{s.CxX(), s.CyX(), s.sU}, {s.CxY(), s.CyY(), s.sV}};
  const long double origin[2] = {s.X0, s.Y0};
  for (int r = 0; r < 2; ++r) {
    const long double sx = rows[r][0], sy = rows[r][1], sum = rows[r][2];
    const long double a = (syy * sx - sxy * sy) / det;
    const long double b = (sxx * sy - sxy * sx) / det;
    const long double shift = (sum - a * s.su - b * s.sv) / s.n;
    k[3 * r] = a;
    k[3 * r + 1] = b;
    k[3 * r + 2] = origin[r] + shift - a * s.x0 - b * s.y0;
  }
  for (long double v : k)
    if (!std::isfinite(v)) return false;
  for (int i = 0; i < 6; ++i) k_[i] = k[i];
  CacheInverse();
  valid_ = true;
  return true;
}

ITransform* ORVO_STDCALL TTransform::Clone() {
  return new (std::nothrow) TTransform(static_cast<double>(k_[0]), static_cast<double>(k_[1]),
                                       static_cast<double>(k_[2]), static_cast<double>(k_[3]),
                                       static_cast<double>(k_[4]), static_cast<double>(k_[5]));
}

}  // namespace itrans
