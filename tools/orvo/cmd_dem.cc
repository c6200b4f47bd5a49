// `orvo dem RASTER X Y...` and `orvo pixel RASTER X Y`: heights and pixels.
#include <charconv>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tools/orvo/commands.h"

namespace orvotool {

namespace {

std::string Number(double v) {
  char text[32];
  auto [end, ec] = std::to_chars(text, text + sizeof(text), v);
  return ec == std::errc() ? std::string(text, end) : std::string("?");
}

int RunDem(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 3, -1);
  if (args.operands.size() % 2 != 1) throw UsageError{"positions come as pairs X Y"};
  std::vector<double> xy;
  for (size_t i = 1; i < args.operands.size(); ++i)
    xy.push_back(ParseNumber(args.operands[i], i % 2 ? "X" : "Y"));
  const std::string& path = args.operands[0];
  ITransformedRaster* dem = OpenDem(path.c_str());
  if (dem == nullptr)
    throw InputError{path, "is no DEM (a raster of 2-byte heights with a .corners transform)"};
  for (size_t i = 0; i < xy.size(); i += 2) {
    const double h = DemHeight(dem, xy[i], xy[i + 1]);
    std::fprintf(io.out, "%s %s %s\n", Number(xy[i]).c_str(), Number(xy[i + 1]).c_str(),
                 h >= 9999.0 ? "no-data" : Number(h).c_str());
  }
  CloseDem(dem);
  return 0;
}

int RunPixel(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 3, 3);
  const int32_t x = ParseInt(args.operands[1], "X");
  const int32_t y = ParseInt(args.operands[2], "Y");
  const std::string& path = args.operands[0];
  IRaster* raster = OpenRaster(path.c_str(), 0, true);
  if (raster == nullptr) throw InputError{path, "is no raster"};
  struct Keeper {
    IRaster* r;
    ~Keeper() { r->Release(); }
  } keeper{raster};
  const int32_t w = raster->GetWidth(), h = raster->GetHeight();
  if (x < 0 || y < 0 || x >= w || y >= h)
    throw UsageError{"pixel " + std::to_string(x) + " " + std::to_string(y) + " is outside the " +
                     std::to_string(w) + " x " + std::to_string(h) + " raster"};
  std::vector<unsigned char> pixel(static_cast<size_t>(raster->GetPixelSize()), 0);
  if (!raster->GetPixel(x, y, pixel.data())) {
    std::fprintf(io.out, "%d %d absent\n", x, y);
    return 0;
  }
  std::string hex;
  static const char kDigits[] = "0123456789abcdef";
  for (unsigned char c : pixel) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  std::string value;
  if (pixel.size() == 1) {
    value = std::to_string(pixel[0]);
  } else if (pixel.size() == 2) {
    value = std::to_string(static_cast<int16_t>(pixel[0] | (pixel[1] << 8)));
  } else if (pixel.size() == 4) {
    value = std::to_string(static_cast<int32_t>(pixel[0] | (pixel[1] << 8) | (pixel[2] << 16) |
                                                (static_cast<uint32_t>(pixel[3]) << 24)));
  }
  std::fprintf(io.out, "%d %d %s%s%s\n", x, y, hex.c_str(), value.empty() ? "" : " ",
               value.c_str());
  return 0;
}

}  // namespace

const Command kDemCommand = {
    "dem",
    "prints DEM heights at map positions",
    "usage: orvo dem RASTER X Y [X Y ...]\n"
    "  prints \"X Y HEIGHT\" for each map position: the bilinear height of the\n"
    "  DEM (a raster of signed 16-bit heights with its .corners transform), or\n"
    "  no-data where the DEM has none.\n",
    {},
    RunDem};

const Command kPixelCommand = {
    "pixel",
    "prints one pixel of a raster",
    "usage: orvo pixel RASTER X Y\n"
    "  prints \"X Y BYTES VALUE\" for the pixel at column X, row Y (row 0 is the\n"
    "  first row of the file): its bytes in hexadecimal and, for 1, 2 and 4-byte\n"
    "  pixels, their little-endian value (unsigned for 1 byte, signed\n"
    "  otherwise); \"X Y absent\" when its tile is absent.\n",
    {},
    RunPixel};

}  // namespace orvotool
