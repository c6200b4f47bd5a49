// Sign library files built byte by byte: BMP pictures and PGM records, for
// the tests and the fuzz seeds.
#ifndef TESTS_SUPPORT_PGM_BUILDER_H_
#define TESTS_SUPPORT_PGM_BUILDER_H_

#include <cstdint>
#include <functional>
#include <string>

namespace orvotest {

inline void AppendLe32(std::string& s, uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// A 24-bit BMP file image of w x h pixels, rows bottom row first; pixel (x, y)
// (y = 0 the top row) has colour(x, y) as 0xRRGGBB.
inline std::string BmpImage(int32_t w, int32_t h,
                            const std::function<uint32_t(int32_t, int32_t)>& colour) {
  const int32_t row = (w * 3 + 3) & ~3;
  std::string s = "BM";
  // File size, reserved, picture offset; info head size, width, height,
  // planes and bits a pixel, and six fields of zero.
  for (uint32_t v : {static_cast<uint32_t>(54 + row * h), 0u, 54u, 40u, static_cast<uint32_t>(w),
                     static_cast<uint32_t>(h), 1u | 24u << 16, 0u, 0u, 0u, 0u, 0u, 0u})
    AppendLe32(s, v);
  for (int32_t r = h - 1; r >= 0; --r) {
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = colour(x, r);
      s.push_back(static_cast<char>(c));
      s.push_back(static_cast<char>(c >> 8));
      s.push_back(static_cast<char>(c >> 16));
    }
    s.append(static_cast<size_t>(row - w * 3), '\0');
  }
  return s;
}

// One sign record: name, then the 40-byte head (hot spot, width, height, 24
// zero bytes) and the picture.
inline std::string PgmRecord(const std::string& name, int32_t hot_x, int32_t hot_y, int32_t width,
                             int32_t height, const std::string& picture) {
  std::string s;
  AppendLe32(s, static_cast<uint32_t>(name.size()));
  s += name;
  for (int32_t v : {static_cast<int32_t>(40 + picture.size()), hot_x, hot_y, width, height})
    AppendLe32(s, static_cast<uint32_t>(v));
  s.append(24, '\0');
  s += picture;
  return s;
}

// The 16-byte file head (not read by the library) followed by the records.
inline std::string PgmFile(const std::string& records) {
  return std::string("PGM sign file\r\n", 15) + '\0' + records;
}

}  // namespace orvotest

#endif  // TESTS_SUPPORT_PGM_BUILDER_H_
