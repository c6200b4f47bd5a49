// Sums shared by the least-squares fits of the affine and orthogonal
// transforms.
#ifndef TRANSFORM_FIT_H_
#define TRANSFORM_FIT_H_

#include <cstdint>

namespace orvo {

// Source points count as lying on one line when the determinant
// sxx * syy - sxy^2 of their centred sums is at most this fraction of
// sxx * syy (the ratio is 1 - r^2 of the source coordinates: 0 for collinear
// points up to rounding, and unchanged when x or y is scaled).
constexpr long double kCollinearBound = 1e-12L;

// Sums of control points in extended precision, taken relative to the first
// source and target points (x0, y0) and (X0, Y0): the offsets of map
// coordinates cancel before anything is squared, and integer data stays
// exact. u = x - x0, v = y - y0, U = X - X0, V = Y - Y0.
struct TPointSums {
  long double x0 = 0, y0 = 0, X0 = 0, Y0 = 0;
  long double n = 0;
  long double su = 0, sv = 0, sU = 0, sV = 0;
  long double suu = 0, suv = 0, svv = 0;
  long double suU = 0, svU = 0, suV = 0, svV = 0;

  // False (the sums stay 0) for null arrays, fewer than 3 points or a value
  // that is not finite.
  bool Accumulate(const double* target, const double* source, int32_t count);

  // n times the centred sums: n * sum((u - mean u)^2) and so on.
  long double Cxx() const { return n * suu - su * su; }
  long double Cyy() const { return n * svv - sv * sv; }
  long double Cxy() const { return n * suv - su * sv; }
  long double CxX() const { return n * suU - su * sU; }
  long double CyX() const { return n * svU - sv * sU; }
  long double CxY() const { return n * suV - su * sV; }
  long double CyY() const { return n * svV - sv * sV; }
};

}  // namespace orvo

#endif  // TRANSFORM_FIT_H_
