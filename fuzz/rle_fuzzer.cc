// Run-length streams: decoding untrusted streams into tiles of every pixel
// size, and the coder's round trip of what decoded.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz/scratch.h"
#include "orvoapi.h"

// Input: pixel size (1 byte), tile bytes (16 bits, little-endian), stream.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t pixel_size = data[0] % 9;  // 0 is refused
  const int32_t tile_bytes = data[1] | (data[2] << 8);
  const uint8_t* stream = data + 3;
  const int32_t stream_size = static_cast<int32_t>(size - 3);
  // Exact-size blocks, so that a write or read past either end is caught.
  std::vector<uint8_t> src(stream, stream + stream_size);
  std::vector<uint8_t> tile(static_cast<size_t>(tile_bytes));
  if (!RleDecompress(tile.data(), tile_bytes, src.data(), stream_size, pixel_size)) return 0;
  orvofuzz::Require(pixel_size > 0 && tile_bytes % pixel_size == 0,
                    "a stream decoded into part pixels");
  std::vector<uint8_t> coded(static_cast<size_t>(tile_bytes));
  int32_t length = RleCompress(coded.data(), tile.data(), tile_bytes, pixel_size);
  orvofuzz::Require(length >= 0 && length < tile_bytes + (tile_bytes == 0),
                    "a stream not shorter than its tile");
  if (length > 0) {
    coded.resize(static_cast<size_t>(length));
    std::vector<uint8_t> back(static_cast<size_t>(tile_bytes));
    orvofuzz::Require(RleDecompress(back.data(), tile_bytes, coded.data(), length, pixel_size),
                      "the coder's own stream does not decode");
    orvofuzz::Require(back == tile, "the coder's round trip changed the tile");
  }
  return 0;
}
