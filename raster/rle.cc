// Run-length coding. The run scan compares eight bytes at a time against the
// run value repeated across a word when the pixel size divides eight, which
// is the case for every pixel size in common use (1, 2, 4 and 8 bytes).
#include "raster/rle.h"

#include <cstring>

namespace orvo {
namespace {

constexpr int64_t kMaxRun = 65535;

uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// The pixel at p repeated to fill eight bytes (pixel_size divides 8).
uint64_t RepeatPixel(const uint8_t* p, int64_t pixel_size) {
  uint8_t bytes[8];
  for (int i = 0; i < 8; i += static_cast<int>(pixel_size)) std::memcpy(bytes + i, p, pixel_size);
  return Load64(bytes);
}

// Number of pixels from `at` (at most `limit`) equal to the pixel `value`.
int64_t RunLength(const uint8_t* at, int64_t limit, const uint8_t* value, int64_t pixel_size) {
  int64_t n = 0;
  if (8 % pixel_size == 0) {
    const int64_t per_word = 8 / pixel_size;
    const uint64_t pattern = RepeatPixel(value, pixel_size);
    while (n + per_word <= limit && Load64(at + n * pixel_size) == pattern) n += per_word;
  }
  while (n < limit && std::memcmp(at + n * pixel_size, value, pixel_size) == 0) ++n;
  return n;
}

void FillPixels(uint8_t* dst, const uint8_t* value, int64_t count, int64_t pixel_size) {
  if (pixel_size == 1) {
    std::memset(dst, *value, static_cast<size_t>(count));
    return;
  }
  const int64_t bytes = count * pixel_size;
  if (8 % pixel_size == 0 && bytes >= 8) {
    const uint64_t pattern = RepeatPixel(value, pixel_size);
    int64_t i = 0;
    for (; i + 8 <= bytes; i += 8) std::memcpy(dst + i, &pattern, 8);
    std::memcpy(dst + i, &pattern, static_cast<size_t>(bytes - i));
    return;
  }
  // Doubling copies: each round copies everything written so far.
  std::memcpy(dst, value, static_cast<size_t>(pixel_size));
  int64_t done = pixel_size;
  while (done < bytes) {
    int64_t step = done < bytes - done ? done : bytes - done;
    std::memcpy(dst + done, dst, static_cast<size_t>(step));
    done += step;
  }
}

}  // namespace

int64_t RleEncode(uint8_t* dst, const uint8_t* src, int64_t source_size, int64_t pixel_size) {
  if (source_size < 1 || pixel_size < 1 || pixel_size > source_size ||
      source_size % pixel_size != 0)
    return 0;
  const int64_t pixels = source_size / pixel_size;
  const int64_t run_bytes = 2 + pixel_size;
  int64_t at = 0;  // pixel index
  int64_t out = 0;
  while (at < pixels && out < source_size) {
    const uint8_t* value = src + at * pixel_size;
    int64_t limit = pixels - at - 1;
    if (limit > kMaxRun - 1) limit = kMaxRun - 1;
    const int64_t count = 1 + RunLength(value + pixel_size, limit, value, pixel_size);
    if (out + run_bytes > source_size) return 0;  // would not pay
    const uint16_t word = static_cast<uint16_t>(count);
    std::memcpy(dst + out, &word, 2);
    std::memcpy(dst + out + 2, value, static_cast<size_t>(pixel_size));
    out += run_bytes;
    at += count;
  }
  return at == pixels && out < source_size ? out : 0;
}

bool RleDecode(uint8_t* dst, int64_t dst_size, const uint8_t* src, int64_t source_size,
               int64_t pixel_size) {
  if (dst_size < 0 || source_size < 0 || pixel_size < 1) return false;
  const int64_t run_bytes = 2 + pixel_size;
  int64_t in = 0;
  int64_t produced = 0;
  while (in < source_size && produced < dst_size) {
    if (source_size - in < run_bytes) return false;  // truncated run
    uint16_t count;
    std::memcpy(&count, src + in, 2);
    const int64_t bytes = static_cast<int64_t>(count) * pixel_size;
    if (bytes > dst_size - produced) return false;
    if (count > 0) FillPixels(dst + produced, src + in + 2, count, pixel_size);
    produced += bytes;
    in += run_bytes;
  }
  return produced == dst_size;
}

}  // namespace orvo
