// The plane geometry of labels: angles of directions and points along lines,
// in device units with y growing downwards.
#ifndef DRAWTEXT_GEOMETRY_H_
#define DRAWTEXT_GEOMETRY_H_

#include "platform/win32.h"

namespace mt {

// Degrees in [0, 360), counter-clockwise on the screen: right 0, up 90,
// left 180, down 270; 0 for (0, 0).
double DirectionAngle(double dx, double dy);

// Distance between two points.
double PointDistance(const POINT& a, const POINT& b);

// The point t along from a towards b, each coordinate truncated toward zero
// (and held within the 32-bit range); a itself when a and b coincide.
POINT PointTowards(const POINT& a, const POINT& b, double t);

// The point at distance d along the polyline and the angle of its segment;
// distances past the end continue along the last segment. Fewer than two
// points give the first point and angle 0.
POINT PolylinePoint(const POINT* points, int count, double d, double* angle);

}  // namespace mt

#endif  // DRAWTEXT_GEOMETRY_H_
