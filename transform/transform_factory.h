// Making coordinate arrays and transforms: the entry points that the exports
// and the raster code share. Every object comes back with a count of 0.
#ifndef TRANSFORM_TRANSFORM_FACTORY_H_
#define TRANSFORM_TRANSFORM_FACTORY_H_

#include <cstdint>

#include "orvoapi.h"

namespace orvo {

// Control points taken from an array or file at most.
constexpr int32_t kMaxControlPoints = 10;
// Control points needed at least.
constexpr int32_t kMinControlPoints = 3;

// The affine transform fitted to count pairs target[i] = forward(source[i]).
// Raises "can't compute affine coeffs" when the fit fails (fewer than 3
// points, source points on one line).
ITransform* NewAffineTransform(const double* target, const double* source, int32_t count);
// The orthogonal transform fitted the same way. Raises "can't compute affine
// coeffs" when the fit fails (fewer than 3 points, coinciding source points).
ITransform* NewOrtoTransform(const double* target, const double* source, int32_t count);

// The transform from the control points of an array of 4 or more values a
// point: source = (value 2, value 3), target = (value 0, value 1), or
// (value 1, value 0) when geo is set; the first 10 points are used. Null for
// a null array, fewer than 4 values a point, fewer than 3 points or a failed
// fit. The array stays the caller's. Throws std::bad_alloc only.
ITransform* ControlPointTransform(ICoords* coords, bool geo, bool orthogonal);
// The same from a control-point file (map x, map y, column, row a line);
// null also when the file is missing or does not load. Throws std::bad_alloc
// only.
ITransform* LoadControlPointTransform(const char* path, bool geo, bool orthogonal);

// An empty array, or the points of a file when path_or_null is given; null
// when the dimension is below 1 or the file does not load. Throws
// std::bad_alloc only.
ICoords* NewCoords(const char* path_or_null, int32_t dimension);

}  // namespace orvo

#endif  // TRANSFORM_TRANSFORM_FACTORY_H_
