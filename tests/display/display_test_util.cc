// Helpers of the display tests.
#include "tests/display/display_test_util.h"

namespace orvotest {

Released<IRaster> MakeRaster(const std::string& path, int32_t w, int32_t h, int32_t tw, int32_t th,
                             int32_t pixel_size,
                             const std::function<uint32_t(int32_t, int32_t)>& value) {
  if (!CreateRaster(path.c_str(), w, h, tw, th, pixel_size, 0)) return nullptr;
  Released<IRaster> raster(OpenRaster(path.c_str(), 1, false));
  if (raster == nullptr) return nullptr;
  std::vector<uint8_t> row(static_cast<size_t>(w) * pixel_size);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      uint32_t v = value(x, y);
      for (int32_t b = 0; b < pixel_size; ++b)
        row[static_cast<size_t>(x) * pixel_size + b] = static_cast<uint8_t>(v >> (8 * b));
    }
    if (!raster->SetPixelBlock(0, y, w, 1, row.data())) return nullptr;
  }
  return raster;
}

std::vector<uint8_t> ImagePixel(HDC dc, int32_t x, int32_t y) {
  int32_t width = 0, height = 0, stride = 0;
  auto* bits = static_cast<uint8_t*>(GetImageBitsDC(dc, &width, &height, &stride));
  if (bits == nullptr || x < 0 || y < 0 || x >= width || y >= height) return {};
  const uint8_t* p = bits + static_cast<int64_t>(y) * stride + x * 3;
  return {p[0], p[1], p[2]};
}

}  // namespace orvotest
