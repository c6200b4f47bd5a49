// Orthogonal transform: forward, inverse and the least-squares similarity fit.
#include "transform/orto.h"

#include <cmath>
#include <new>

#include "base/errors.h"
#include "transform/affine.h"
#include "transform/fit.h"

namespace itranso {

TTransform::TTransform(const double* target, const double* source, int32_t count) {
  if (!Compute(target, source, count)) orvo::Raise(itrans::kCantComputeAffineCoeffs);
}

TTransform::TTransform(double p, double q, double tx, double ty)
    : k_{p, q, tx, ty}, valid_(p != 0 || q != 0) {}

bool ORVO_STDCALL TTransform::Transform(double* dst, const double* src, int32_t count) {
  if (count <= 0) return true;
  if (dst == nullptr || src == nullptr) return false;
  const long double p = k_[0], q = k_[1], tx = k_[2], ty = k_[3];
  for (int32_t i = 0; i < count; ++i) {
    const long double x = src[2 * i], y = src[2 * i + 1];
    dst[2 * i] = static_cast<double>(p * x + q * y + tx);
    dst[2 * i + 1] = static_cast<double>(-q * x + p * y + ty);
  }
  return true;
}

bool ORVO_STDCALL TTransform::InverseTransform(double* dst, const double* src, int32_t count) {
  const long double p = k_[0], q = k_[1], tx = k_[2], ty = k_[3];
  // The matrix [p q; -q p] is inverted by [p -q; q p] / (p^2 + q^2), which
  // also holds for a quarter turn (p = 0).
  const long double norm = p * p + q * q;
  if (norm == 0 || !std::isfinite(norm)) return false;
  if (count <= 0) return true;
  if (dst == nullptr || src == nullptr) return false;
  for (int32_t i = 0; i < count; ++i) {
    const long double X = src[2 * i] - tx, Y = src[2 * i + 1] - ty;
    dst[2 * i] = static_cast<double>((p * X - q * Y) / norm);
    dst[2 * i + 1] = static_cast<double>((q * X + p * Y) / norm);
  }
  return true;
}

bool ORVO_STDCALL TTransform::Compute(const double* target, const double* source, int32_t count) {
  valid_ = false;
  orvo::TPointSums s;
  if (!s.Accumulate(target, source, count)) return false;
  // Minimising the sum of (p*u + q*v - U)^2 + (-q*u + p*v - V)^2 over the
  // points centred on their means gives p and q separately (the cross terms
  // cancel):
  //   p = sum(u*U + v*V) / sum(u^2 + v^2),  q = sum(v*U - u*V) / sum(u^2 + v^2);
  // the shift then carries the source mean onto the target mean.
  const long double spread = s.Cxx() + s.Cyy();
  if (!(spread > 0) || !std::isfinite(spread)) return false;
  const long double p = (s.CxX() + s.CyY()) / spread;
  const long double q = (s.CyX() - s.CxY()) / spread;
  const long double tx = s.X0 + (s.sU - p * s.su - q * s.sv) / s.n - p * s.x0 - q * s.y0;
  const long double ty = s.Y0 + (s.sV + q * s.su - p * s.sv) / s.n + q * s.x0 - p * s.y0;
  const double k[4] = {static_cast<double>(p), static_cast<double>(q), static_cast<double>(tx),
                       static_cast<double>(ty)};
  for (double v : k)
    if (!std::isfinite(v)) return false;
  for (int i = 0; i < 4; ++i) k_[i] = k[i];
  valid_ = true;
  return true;
}

ITransform* ORVO_STDCALL TTransform::Clone() {
  return new (std::nothrow) TTransform(k_[0], k_[1], k_[2], k_[3]);
}

}  // namespace itranso
