// The affine plane transform X = a*x + b*y + c, Y = d*x + e*y + f, fitted by
// least squares to control points.
#ifndef TRANSFORM_AFFINE_H_
#define TRANSFORM_AFFINE_H_

#include <cmath>
#include <cstdint>

#include "base/api_object.h"
#include "orvoapi.h"

namespace itrans {

// Message of a failed fit, shared with the orthogonal transform.
extern const char kCantComputeAffineCoeffs[];  // "can't compute affine coeffs"

// Six coefficients in extended precision; points are rounded to double only
// when they are stored. No slot raises.
class TTransform final : public orvo::TApiObject<ITransform> {
 public:
  // Fits the coefficients (Compute); raises "can't compute affine coeffs"
  // when the fit fails.
  TTransform(const double* target, const double* source, int32_t count);
  // The given coefficients; valid unless a*e == b*d.
  TTransform(long double a, long double b, long double c, long double d, long double e,
             long double f);

  bool ORVO_STDCALL Transform(double* dst, const double* src, int32_t count) override;
  bool ORVO_STDCALL InverseTransform(double* dst, const double* src, int32_t count) override;
  // Least-squares fit of target[i] = forward(source[i]), the X and Y rows
  // separately. Fails (the transform becomes invalid, the coefficients stay)
  // for fewer than 3 points, null arrays, values that are not finite, and
  // source points that coincide or lie on one line.
  bool ORVO_STDCALL Compute(const double* target, const double* source, int32_t count) override;
  bool ORVO_STDCALL Reserved1(int32_t) override { return false; }
  bool ORVO_STDCALL Reserved2(int32_t) override { return false; }
  bool ORVO_STDCALL IsValid() override { return valid_; }
  // A new transform of the coefficients rounded to double; null when memory
  // runs out.
  ITransform* ORVO_STDCALL Clone() override;

  // a, b, c, d, e, f.
  const long double* Coefficients() const { return k_; }

  // The inverse of one point, as InverseTransform computes it; false when the
  // transform has no inverse. Inline for callers that ask point by point.
  bool InverseOne(double x, double y, double* column, double* row) const {
    const long double r = inverse_det_split_.Value();
    if (r == 0) return false;
    const long double X = x, Y = y;
    const long double a = k_split_[0].Value(), b = k_split_[1].Value(), c = k_split_[2].Value();
    const long double d = k_split_[3].Value(), e = k_split_[4].Value(), f = k_split_[5].Value();
    *column = static_cast<double>(((X - c) * e + (f - Y) * b) * r);
    *row = static_cast<double>(((Y - f) * a + (c - X) * d) * r);
    return true;
  }

 private:
  // 1 / (a*e - b*d), or 0 when that determinant is 0 or not finite.
  void CacheInverse();

  // An extended value as two doubles whose sum is exactly that value. Point
  // by point inverses read their coefficients in this form: two 64-bit loads
  // cost the processor far less than one 80-bit load, and DEM queries come
  // by the million.
  struct TSplit {
    double high = 0, low = 0;
    void Set(long double v) {
      high = static_cast<double>(v);
      low = std::isfinite(high) ? static_cast<double>(v - high) : 0;
    }
    long double Value() const { return static_cast<long double>(high) + low; }
  };

  long double k_[6] = {1, 0, 0, 0, 1, 0};
  long double inverse_det_ = 1;
  TSplit k_split_[6] = {{1, 0}, {0, 0}, {0, 0}, {0, 0}, {1, 0}, {0, 0}};
  TSplit inverse_det_split_ = {1, 0};
  bool valid_ = false;
};

}  // namespace itrans

#endif  // TRANSFORM_AFFINE_H_
