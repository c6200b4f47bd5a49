// Run-length coding. For pixel sizes that divide eight (1, 2, 4 and 8 bytes,
// every size in common use) runs are scanned and filled a machine word at a
// time: the run value repeated across a word is compared with eight source
// bytes at once, and the first differing byte (the lowest set byte of the
// difference, on our little-endian machines) ends the run.
#include "raster/rle.h"

#include <cstring>

namespace orvo {
namespace {

constexpr int64_t kMaxRun = 65535;

inline uint64_t Load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

template <int P>
inline uint64_t Repeat(const uint8_t* pixel) {
  uint64_t v = 0;
  std::memcpy(&v, pixel, P);
  for (int shift = P * 8; shift < 64; shift *= 2) v |= v << shift;
  return v;
}

// Pixels from `at` (at most `limit`) equal to the value repeated in pattern.
template <int P>
inline int64_t RunLength(const uint8_t* at, int64_t limit, uint64_t pattern) {
  constexpr int64_t kPerWord = 8 / P;
  int64_t n = 0;
  for (; n + kPerWord <= limit; n += kPerWord) {
    uint64_t diff = Load64(at + n * P) ^ pattern;
    if (diff != 0) return n + (__builtin_ctzll(diff) / 8) / P;
  }
  while (n < limit && std::memcmp(at + n * P, &pattern, P) == 0) ++n;
  return n;
}

int64_t RunLengthAny(const uint8_t* at, int64_t limit, const uint8_t* value, int64_t pixel_size) {
  int64_t n = 0;
  while (n < limit && std::memcmp(at + n * pixel_size, value, static_cast<size_t>(pixel_size)) == 0)
    ++n;
  return n;
}

// The run loop shared by every pixel size; run_length(at, limit, value)
// counts the pixels from `at` equal to `value`.
template <class RunLength>
int64_t EncodeRuns(uint8_t* dst, const uint8_t* src, int64_t source_size, int64_t pixel_size,
                   RunLength run_length) {
  const int64_t pixels = source_size / pixel_size;
  int64_t at = 0, out = 0;
  while (at < pixels && out < source_size) {
    const uint8_t* value = src + at * pixel_size;
    int64_t limit = pixels - at - 1;
    if (limit > kMaxRun - 1) limit = kMaxRun - 1;
    const int64_t count = 1 + run_length(value + pixel_size, limit, value);
    if (out + 2 + pixel_size > source_size) return 0;  // would not pay
    const uint16_t word = static_cast<uint16_t>(count);
    std::memcpy(dst + out, &word, 2);
    std::memcpy(dst + out + 2, value, static_cast<size_t>(pixel_size));
    out += 2 + pixel_size;
    at += count;
  }
  return at == pixels && out < source_size ? out : 0;
}

template <int P>
int64_t Encode(uint8_t* dst, const uint8_t* src, int64_t source_size) {
  return EncodeRuns(dst, src, source_size, P,
                    [](const uint8_t* at, int64_t limit, const uint8_t* value) {
                      return RunLength<P>(at, limit, Repeat<P>(value));
                    });
}

int64_t EncodeAny(uint8_t* dst, const uint8_t* src, int64_t source_size, int64_t pixel_size) {
  return EncodeRuns(dst, src, source_size, pixel_size,
                    [pixel_size](const uint8_t* at, int64_t limit, const uint8_t* value) {
                      return RunLengthAny(at, limit, value, pixel_size);
                    });
}

// The run loop of the decoder; fill(out, value, count) writes one run.
template <class Fill>
bool DecodeRuns(uint8_t* dst, int64_t dst_size, const uint8_t* src, int64_t source_size,
                int64_t pixel_size, Fill fill) {
  int64_t in = 0, produced = 0;
  while (in < source_size && produced < dst_size) {
    if (source_size - in < 2 + pixel_size) return false;  // truncated run
    uint16_t count;
    std::memcpy(&count, src + in, 2);
    const int64_t bytes = int64_t{count} * pixel_size;
    if (bytes > dst_size - produced) return false;
    fill(dst + produced, src + in + 2, bytes, dst_size - produced);
    produced += bytes;
    in += 2 + pixel_size;
  }
  return produced == dst_size;
}

template <int P>
bool Decode(uint8_t* dst, int64_t dst_size, const uint8_t* src, int64_t source_size) {
  return DecodeRuns(dst, dst_size, src, source_size, P,
                    [](uint8_t* out, const uint8_t* value, int64_t bytes, int64_t room) {
                      const uint64_t pattern = Repeat<P>(value);
                      int64_t i = 0;
                      // Whole words; the last one may reach past the run (never
                      // past the buffer): the next run writes over those bytes.
                      if (room >= (bytes + 7) / 8 * 8) {
                        for (; i < bytes; i += 8) std::memcpy(out + i, &pattern, 8);
                        return;
                      }
                      for (; i + 8 <= bytes; i += 8) std::memcpy(out + i, &pattern, 8);
                      std::memcpy(out + i, &pattern, static_cast<size_t>(bytes - i));
                    });
}

bool DecodeAny(uint8_t* dst, int64_t dst_size, const uint8_t* src, int64_t source_size,
               int64_t pixel_size) {
  return DecodeRuns(dst, dst_size, src, source_size, pixel_size,
                    [pixel_size](uint8_t* out, const uint8_t* value, int64_t bytes, int64_t) {
                      for (int64_t k = 0; k < bytes; k += pixel_size)
                        std::memcpy(out + k, value, static_cast<size_t>(pixel_size));
                    });
}

}  // namespace

int64_t RleEncode(uint8_t* dst, const uint8_t* src, int64_t source_size, int64_t pixel_size) {
  if (source_size < 1 || pixel_size < 1 || pixel_size > source_size ||
      source_size % pixel_size != 0)
    return 0;
  switch (pixel_size) {
    case 1:
      return Encode<1>(dst, src, source_size);
    case 2:
      return Encode<2>(dst, src, source_size);
    case 4:
      return Encode<4>(dst, src, source_size);
    case 8:
      return Encode<8>(dst, src, source_size);
    default:
      return EncodeAny(dst, src, source_size, pixel_size);
  }
}

bool RleDecode(uint8_t* dst, int64_t dst_size, const uint8_t* src, int64_t source_size,
               int64_t pixel_size) {
  if (dst_size < 0 || source_size < 0 || pixel_size < 1) return false;
  switch (pixel_size) {
    case 1:
      return Decode<1>(dst, dst_size, src, source_size);
    case 2:
      return Decode<2>(dst, dst_size, src, source_size);
    case 4:
      return Decode<4>(dst, dst_size, src, source_size);
    case 8:
      return Decode<8>(dst, dst_size, src, source_size);
    default:
      return DecodeAny(dst, dst_size, src, source_size, pixel_size);
  }
}

int64_t RleMostDecoded(int64_t source_size, int64_t pixel_size) {
  if (source_size < 1 || pixel_size < 1) return 0;
  const int64_t runs = source_size / (2 + pixel_size);
  int64_t bytes;
  if (__builtin_mul_overflow(runs, kMaxRun * pixel_size, &bytes)) return INT64_MAX;
  return bytes;
}

}  // namespace orvo
