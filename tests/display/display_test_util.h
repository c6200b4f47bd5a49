// Helpers of the display tests: holders that release interfaces, small
// rasters filled from a formula, pixel access to image contexts and palettes,
// palette and histogram file images, and saves under a file size limit.
#ifndef TESTS_DISPLAY_DISPLAY_TEST_UTIL_H_
#define TESTS_DISPLAY_DISPLAY_TEST_UTIL_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "orvoapi.h"

namespace orvotest {

struct Releaser {
  void operator()(IApiObject* object) const { object->Release(); }
};
template <class T>
using Released = std::unique_ptr<T, Releaser>;

// A raster file of w x h pixels of pixel_size bytes in tiles of tw x th,
// pixel (x, y) holding value(x, y) in its little-endian bytes; opened
// read-write. Null when it cannot be made.
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

using Rgb = std::vector<uint8_t>;
inline Rgb Grey(int v) { return Rgb(3, static_cast<uint8_t>(v)); }
// The palette's entry, empty when GetColor refuses it.
Rgb Colour(IPalette* palette, int32_t index);
// The entry of height h (a 16-bit pixel value).
inline Rgb HeightColour(IPalette* palette, int32_t h) {
  return Colour(palette, static_cast<uint16_t>(static_cast<int16_t>(h)));
}
// Every (height, colour) of want, each reported by its height.
using HeightRgb = std::pair<int32_t, Rgb>;
inline HeightRgb HeightIs(int32_t h, Rgb rgb) { return {h, std::move(rgb)}; }
void ExpectHeightColours(IPalette* palette, const std::vector<HeightRgb>& want);

// Little-endian 64 bits.
std::string Le64(int64_t v);
using HistogramRecords = std::vector<std::pair<uint16_t, int64_t>>;
// A histogram file of (value, count) records, with the given size field or
// the true one.
std::string HistogramBytes(int64_t size_field, const HistogramRecords& records);
std::string HistogramBytes(const HistogramRecords& records);

// Runs body with files limited to limit bytes (a full disk, in effect) and
// gives its result; on Windows, which has no such limit, it is not run.
bool UnderSizeLimit(int64_t limit, const std::function<bool()>& body);

}  // namespace orvotest

#endif  // TESTS_DISPLAY_DISPLAY_TEST_UTIL_H_
