// Sums of control points.
#include "transform/fit.h"

#include <cmath>

namespace orvo {

bool TPointSums::Accumulate(const double* target, const double* source, int32_t count) {
  if (target == nullptr || source == nullptr || count < 3) return false;
  for (int64_t i = 0; i < 2 * int64_t{count}; ++i)
    if (!std::isfinite(source[i]) || !std::isfinite(target[i])) return false;
  TPointSums s;
  s.x0 = source[0];
  s.y0 = source[1];
  s.X0 = target[0];
  s.Y0 = target[1];
  s.n = count;
  for (int64_t i = 0; i < count; ++i) {
    const long double u = source[2 * i] - s.x0, v = source[2 * i + 1] - s.y0;
    const long double U = target[2 * i] - s.X0, V = target[2 * i + 1] - s.Y0;
    s.su += u;
    s.sv += v;
    s.sU += U;
    s.sV += V;
    s.suu += u * u;
    s.suv += u * v;
    s.svv += v * v;
    s.suU += u * U;
    s.svU += v * U;
    s.suV += u * V;
    s.svV += v * V;
  }
  *this = s;
  return true;
}

}  // namespace orvo
