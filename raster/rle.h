// Run-length coding of tiles: runs of a 16-bit count (1 to 65535) followed by
// one pixel value.
#ifndef RASTER_RLE_H_
#define RASTER_RLE_H_

#include <cstddef>
#include <cstdint>

namespace orvo {

// Encodes source_size bytes of pixel_size-byte pixels into dst, which has room
// for source_size bytes. Returns the stream's length, or 0 when the stream
// would not be shorter than the source (the tile is then stored raw), when
// source_size is not a whole number of pixels, or for sizes below 1.
int64_t RleEncode(uint8_t* dst, const uint8_t* src, int64_t source_size, int64_t pixel_size);

// Decodes a stream into exactly dst_size bytes; false when the stream is
// truncated, has a zero count, would write past dst_size or ends short of it.
bool RleDecode(uint8_t* dst, int64_t dst_size, const uint8_t* src, int64_t source_size,
               int64_t pixel_size);

// The most bytes a stream of source_size bytes can decode to: every run at the
// largest count. 0 for sizes below 1.
int64_t RleMostDecoded(int64_t source_size, int64_t pixel_size);

}  // namespace orvo

#endif  // RASTER_RLE_H_
