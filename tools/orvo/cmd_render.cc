// `orvo render RASTER OUT.png`: a window of a raster drawn through a raster
// view (previews included) into an image context, written as PNG.
#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "orvoapi.h"
#include "platform/win32.h"  // SRCCOPY on Windows
#include "tools/orvo/commands.h"
#include "tools/orvo/png_file.h"

namespace orvotool {

namespace {

constexpr int32_t kMaxSide = 16384;
constexpr int32_t kMinScale = -1024, kMaxScale = 32;

template <class T>
struct Held {
  T* object;
  ~Held() {
    if (object != nullptr) object->Release();
  }
};

struct ImageContext {
  HDC dc;
  ~ImageContext() {
    if (dc != nullptr) FreeImageDC(dc);
  }
};

struct Window {
  int64_t x = 0, y = 0, w = 0, h = 0;
};

Window ParseWindow(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> parts;
  for (std::string part; in >> part;) parts.push_back(part);
  if (parts.size() != 4) throw UsageError{"--window takes X Y W H"};
  return Window{ParseInt(parts[0], "X"), ParseInt(parts[1], "Y"), ParseInt(parts[2], "W"),
                ParseInt(parts[3], "H")};
}

// Output pixels for n raster pixels at the scale: one for every -scale of
// them (whole ones, as a view shows them), scale for each, or one to one.
int64_t OutputSide(int64_t n, int32_t scale) {
  if (scale < -1) return std::max<int64_t>(1, n / -int64_t{scale});
  if (scale > 1) return n * scale;
  return n;
}

// The palette a raster's pixels are drawn with when none is given: a DEM
// palette over the heights of the window for 2-byte pixels (grey from the
// lowest to the highest, 0 green, no data red), none (grey, or the bytes as
// red, green, blue) for 1 and 3 bytes.
IPalette* OwnPalette(IRasterView* view, int32_t w, int32_t h, int32_t x, int32_t y, int32_t scale) {
  if (view->GetPixelSize() != 2) return nullptr;
  IDemHistogramm* histogram = CreateDemHistogramm();
  if (histogram == nullptr) return nullptr;
  IPalette* palette = nullptr;
  if (histogram->BuildFromView(view, w, h, x, y, scale))
    palette = DemHisto2LimitedPalette(histogram, histogram->GetMinHeight(), nullptr,
                                      histogram->GetMaxHeight(), nullptr, nullptr, nullptr, nullptr,
                                      nullptr);
  else  // nothing but no data
    palette = DemHisto2LimitedPalette(nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr, nullptr,
                                      nullptr);
  histogram->Release();
  return palette;
}

int RunRender(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 2, 2);
  const std::string& path = args.operands[0];
  const std::string& out = args.operands[1];
  const int32_t scale = ParseInt(args.Value("--scale", "1"), "--scale");
  if (scale < kMinScale || scale > kMaxScale || scale == 0)
    throw UsageError{"--scale must be a whole number from -1024 to 32 other than 0"};
  const bool has_window = args.Has("--window");
  Window window;
  if (has_window) window = ParseWindow(args.Value("--window"));

  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) throw InputError{path, "no such file"};
  if (std::filesystem::equivalent(path, out, ec) || IsRaster(out.c_str()))
    throw UsageError{out + " is a raster; the image is not written over it"};
  // A view opens the widest raster of the stem: the one the file belongs to.
  IRaster* raster = OpenRaster(path.c_str(), 0, true);
  if (raster == nullptr) throw InputError{path, "is no raster"};
  raster->Release();
  Held<IRasterView> view{OpenRasterView(path.c_str())};
  if (view.object == nullptr) throw InputError{path, "is no raster"};
  const int32_t width = view.object->GetWidth(), height = view.object->GetHeight();
  const int32_t pixel_size = view.object->GetPixelSize();
  if (!has_window) window = Window{0, 0, width, height};
  if (window.x < 0 || window.y < 0 || window.w < 1 || window.h < 1 || window.x + window.w > width ||
      window.y + window.h > height)
    throw UsageError{"window " + std::to_string(window.x) + " " + std::to_string(window.y) + " " +
                     std::to_string(window.w) + " " + std::to_string(window.h) +
                     " is not within the " + std::to_string(width) + " x " +
                     std::to_string(height) + " raster"};
  const int64_t w = OutputSide(window.w, scale), h = OutputSide(window.h, scale);
  if (w > kMaxSide || h > kMaxSide)
    throw UsageError{"the image would be " + std::to_string(w) + " x " + std::to_string(h) +
                     " pixels, more than 16384 a side"};

  Held<IPalette> palette{nullptr};
  if (args.Has("--palette")) {
    const std::string palette_path = args.Value("--palette");
    palette.object = LoadPalette(palette_path.c_str());
    if (palette.object == nullptr)
      throw InputError{palette_path, "is no palette or histogram file"};
  }
  if (pixel_size < 1 || pixel_size > 3)
    throw InputError{path, "has " + std::to_string(pixel_size) +
                               "-byte pixels, which no palette turns into colours"};
  ImageContext image{CreateImageDC(static_cast<int32_t>(w), static_cast<int32_t>(h))};
  if (image.dc == nullptr) throw InputError{out, "no memory for the image"};
  const int32_t x = static_cast<int32_t>(window.x), y = static_cast<int32_t>(window.y);
  if (!view.object->Prepare(image.dc, static_cast<int32_t>(w), static_cast<int32_t>(h), x, y,
                            scale))
    throw InputError{path, "the window can't be read"};
  if (palette.object == nullptr)
    palette.object =
        OwnPalette(view.object, static_cast<int32_t>(w), static_cast<int32_t>(h), x, y, scale);
  if (!view.object->Draw(image.dc, 0, 0, palette.object, SRCCOPY))
    throw InputError{path, "the window can't be drawn"};
  int32_t iw = 0, ih = 0, stride = 0;
  const void* bits = GetImageBitsDC(image.dc, &iw, &ih, &stride);
  WriteBgrPng(out, bits, iw, ih, stride);
  std::fprintf(io.out, "%s: %d x %d\n", out.c_str(), iw, ih);
  return 0;
}

}  // namespace

const Command kRenderCommand = {
    "render",
    "draws a window of a raster into a PNG image",
    "usage: orvo render RASTER OUT.png [--window X Y W H] [--scale S] [--palette FILE]\n"
    "  draws the window of W x H raster pixels from column X, row Y (the whole\n"
    "  raster unless given) through a raster view at zoom step S:\n"
    "    -2, -4, -8, ...  the pixels whose column and row are multiples of -S,\n"
    "                     read from the previews of `orvo previews` where they\n"
    "                     exist; the image is W / -S by H / -S\n"
    "    2 to 32          each pixel repeated S times each way\n"
    "    1 (the default)  one to one\n"
    "  Colours come from FILE (a palette or histogram file) or the raster's own\n"
    "  way: 2-byte heights through a DEM palette over the heights in the window\n"
    "  (grey from the lowest to the highest, 0 green, no data red), 1-byte\n"
    "  pixels as grey, 3-byte pixels as red, green, blue. RASTER may be any\n"
    "  raster file of its name (STEM.*): the view shows the widest one.\n",
    {{"--window", true, 4}, {"--scale", true}, {"--palette", true}},
    RunRender};

}  // namespace orvotool
