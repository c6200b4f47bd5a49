// The orthogonal plane transform (rotation, uniform scale, shift)
// X = p*x + q*y + tx, Y = -q*x + p*y + ty, fitted by least squares.
#ifndef TRANSFORM_ORTO_H_
#define TRANSFORM_ORTO_H_

#include <cstdint>

#include "base/api_object.h"
#include "orvoapi.h"

namespace itranso {

// No slot raises.
class TTransform : public orvo::TApiObject<ITransform> {
 public:
  // Fits the coefficients (Compute); raises "can't compute affine coeffs"
  // when the fit fails.
  TTransform(const double* target, const double* source, int32_t count);
  // The given coefficients; valid unless p and q are both 0.
  TTransform(double p, double q, double tx, double ty);

  bool ORVO_STDCALL Transform(double* dst, const double* src, int32_t count) override;
  // False for p = q = 0.
  bool ORVO_STDCALL InverseTransform(double* dst, const double* src, int32_t count) override;
  // Least-squares fit of target[i] = forward(source[i]) over both rows at
  // once. Fails (invalid, coefficients unchanged) for fewer than 3 points,
  // null arrays, values that are not finite, and source points that all
  // coincide.
  bool ORVO_STDCALL Compute(const double* target, const double* source, int32_t count) override;
  bool ORVO_STDCALL Reserved1(int32_t) override { return false; }
  bool ORVO_STDCALL Reserved2(int32_t) override { return false; }
  bool ORVO_STDCALL IsValid() override { return valid_; }
  ITransform* ORVO_STDCALL Clone() override;

  // p, q, tx, ty.
  const double* Coefficients() const { return k_; }

 private:
  double k_[4] = {1, 0, 0, 0};
  bool valid_ = false;
};

}  // namespace itranso

#endif  // TRANSFORM_ORTO_H_
