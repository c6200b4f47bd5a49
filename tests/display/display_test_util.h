// Helpers of the display tests: holders that release interfaces, small
// rasters filled from a formula, and pixel access to image contexts.
#ifndef TESTS_DISPLAY_DISPLAY_TEST_UTIL_H_
#define TESTS_DISPLAY_DISPLAY_TEST_UTIL_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvoapi.h"

namespace orvotest {

struct Releaser {
  void operator()(IApiObject* object) const { object->Release(); }
};
template <class T>
using Released = std::unique_ptr<T, Releaser>;

// A raster file of w x h pixels of pixel_size bytes in tiles of tw x th, pixel
// (x, y) holding value(x, y) little-endian; opened read-write, or null.
Released<IRaster> MakeRaster(const std::string& path, int32_t w, int32_t h, int32_t tw, int32_t th,
                             int32_t pixel_size,
                             const std::function<uint32_t(int32_t, int32_t)>& value);

// An image context freed with FreeImageDC.
struct ImageDcFree {
  void operator()(HDC__* dc) const { FreeImageDC(dc); }
};
using ImageDc = std::unique_ptr<HDC__, ImageDcFree>;

// The image's pixel (x, y) as blue, green, red.
std::vector<uint8_t> ImagePixel(HDC dc, int32_t x, int32_t y);

}  // namespace orvotest

#endif  // TESTS_DISPLAY_DISPLAY_TEST_UTIL_H_
