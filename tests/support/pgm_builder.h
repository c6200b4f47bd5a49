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
  AppendLe32(s, static_cast<uint32_t>(54 + row * h));
  AppendLe32(s, 0);
  AppendLe32(s, 54);
  AppendLe32(s, 40);
  AppendLe32(s, static_cast<uint32_t>(w));
  AppendLe32(s, static_cast<uint32_t>(h));
  AppendLe32(s, 1 | 24 << 16);  // planes, bits a pixel
  for (int i = 0; i < 6; ++i) AppendLe32(s, 0);
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
  AppendLe32(s, static_cast<uint32_t>(40 + picture.size()));
  AppendLe32(s, static_cast<uint32_t>(hot_x));
  AppendLe32(s, static_cast<uint32_t>(hot_y));
  AppendLe32(s, static_cast<uint32_t>(width));
  AppendLe32(s, static_cast<uint32_t>(height));
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
