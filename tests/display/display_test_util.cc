// Helpers of the display tests.
#include "tests/display/display_test_util.h"

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <gtest/gtest.h>

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

Rgb Colour(IPalette* palette, int32_t index) {
  uint8_t rgb[3] = {1, 2, 3};
  if (!palette->GetColor(rgb, index)) return {};
  return {rgb[0], rgb[1], rgb[2]};
}

void ExpectHeightColours(IPalette* palette, const std::vector<HeightRgb>& want) {
  for (const auto& [h, rgb] : want) EXPECT_EQ(HeightColour(palette, h), rgb) << "height " << h;
}

std::string Le64(int64_t v) {
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(static_cast<uint64_t>(v) >> (8 * i));
  return s;
}

std::string HistogramBytes(int64_t size_field, const HistogramRecords& records) {
  std::string s = "_hstgrmm" + Le64(size_field) + std::string("\x02\0\0\0", 4);
  for (auto [value, count] : records)
    s += std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)} + Le64(count);
  return s;
}

std::string HistogramBytes(const HistogramRecords& records) {
  return HistogramBytes(20 + 10 * static_cast<int64_t>(records.size()), records);
}

bool UnderSizeLimit(int64_t limit, const std::function<bool()>& body) {
#ifdef _WIN32
  (void)limit, (void)body;
  return false;
#else
  struct rlimit old_limit;
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = static_cast<rlim_t>(limit);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool result = body();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  return result;
#endif
}

}  // namespace orvotest
