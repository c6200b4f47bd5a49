// Images of the GDI tests: DIB sections made directly, and the ink on an image
// context (glyph pixels differ between rasterisers, so text is compared by region).
#ifndef TESTS_SUPPORT_IMAGES_H_
#define TESTS_SUPPORT_IMAGES_H_

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "display/image_dc.h"
#include "platform/win32.h"

namespace orvotest {

// A DIB section of w x h 24-bit pixels (h < 0: top-down), its bits at *bits.
inline HBITMAP Dib24(int w, int h, void** bits) {
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

struct Ink {
  int count = 0;
  int min_x = 1 << 30, min_y = 1 << 30, max_x = -1, max_y = -1;
};

// Non-white pixels of the image, within [x0, x1) x [y0, y1).
inline Ink InkIn(HDC dc, int x0 = 0, int y0 = 0, int x1 = 1 << 30, int y1 = 1 << 30) {
  int32_t w = 0, h = 0, stride = 0;
  auto* bits = static_cast<uint8_t*>(mt::ImageDcBits(dc, &w, &h, &stride));
  Ink ink;
  for (int y = (std::max)(0, y0); bits != nullptr && y < (std::min)(h, y1); ++y)
    for (int x = (std::max)(0, x0); x < (std::min)(w, x1); ++x) {
      const uint8_t* p = bits + y * stride + x * 3;
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
      ++ink.count;
      ink.min_x = (std::min)(ink.min_x, x), ink.max_x = (std::max)(ink.max_x, x);
      ink.min_y = (std::min)(ink.min_y, y), ink.max_y = (std::max)(ink.max_y, y);
    }
  return ink;
}

}  // namespace orvotest

#endif  // TESTS_SUPPORT_IMAGES_H_
