#include "drawtext/geometry.h"

#include <cmath>
#include <cstdint>

namespace mt {
namespace {

constexpr double kPi = 3.14159265358979323846;

int32_t TruncateToInt(double value) {
  if (!(value > -2147483648.0)) return INT32_MIN;  // NaN too
  if (value >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace

double DirectionAngle(double dx, double dy) {
  if (dx == 0 && dy == 0) return 0;
  double a = -std::atan2(dy, dx) * 180.0 / kPi;
  if (a < 0) a += 360;
  return a >= 360 ? 0 : a;
}

double PointDistance(const POINT& a, const POINT& b) {
  return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

POINT PointTowards(const POINT& a, const POINT& b, double t) {
  const double length = PointDistance(a, b);
  if (length == 0) return a;
  POINT p;
  p.x = TruncateToInt(a.x + t * (static_cast<double>(b.x) - a.x) / length);
  p.y = TruncateToInt(a.y + t * (static_cast<double>(b.y) - a.y) / length);
  return p;
}

POINT PolylinePoint(const POINT* points, int count, double d, double* angle) {
  *angle = 0;
  if (count < 2) return points[0];
  int segment = 0;
  while (segment < count - 2 && d > PointDistance(points[segment], points[segment + 1])) {
    d -= PointDistance(points[segment], points[segment + 1]);
    ++segment;
  }
  const POINT& a = points[segment];
  const POINT& b = points[segment + 1];
  *angle = DirectionAngle(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
  return PointTowards(a, b, d);
}

}  // namespace mt
