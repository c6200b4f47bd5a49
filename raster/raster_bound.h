// The control-point file of a raster that covers a map rectangle.
#ifndef RASTER_RASTER_BOUND_H_
#define RASTER_RASTER_BOUND_H_

#include <cstdint>

#include "orvoapi.h"

namespace orvo {

// Writes the centres of the four corner pixels of a width x height raster
// covering bound, (0,0), (W-1,0), (W-1,H-1), (0,H-1), one a line as map x,
// map y, column, row (row 0 is the northern edge). False when the file
// cannot be written. Throws std::bad_alloc only.
bool WriteRasterBoundFile(const char* file_name, int32_t width, int32_t height, const BOUND& bound);

}  // namespace orvo

#endif  // RASTER_RASTER_BOUND_H_
