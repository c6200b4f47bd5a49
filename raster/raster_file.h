// Raster files outside an open raster object: creation, and the head read and
// rewritten either through the file or, while a raster object holds the file
// exclusively, through the mapping it shares under the file's CrcName.
#ifndef RASTER_RASTER_FILE_H_
#define RASTER_RASTER_FILE_H_

#include <cstdint>

namespace orvo {

// Creates a new fixed-layout raster file; false when the file exists, a size
// is out of range or the file cannot be made full size (a file it made is
// deleted then).
bool CreateRasterFile(const char* file_name, int32_t width, int32_t height, int32_t tile_width,
                      int32_t tile_height, int32_t pixel_size, int32_t head_size);

// Copies the first size (at least 264) bytes of the file into buffer and
// returns the head size field's low 32 bits; 0 on any failure.
int32_t ReadRasterHeadFile(const char* file_name, void* buffer, int32_t size);

// Writes bytes 88..size-1 of buffer over the file's and sets the head size
// field to size; size must lie between 264 and the data offset of a
// fixed-layout head. Returns size, or 0 on any failure.
int32_t WriteRasterHeadFile(const char* file_name, const void* buffer, int32_t size);

bool IsRasterFile(const char* file_name);

}  // namespace orvo

#endif  // RASTER_RASTER_FILE_H_
