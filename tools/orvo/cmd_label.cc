// `orvo label OUT.png TEXT X1 Y1 [X2 Y2 ...]`: a map label along a polyline
// on a white image, written as PNG.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tools/orvo/commands.h"
#include "tools/orvo/png_file.h"

namespace orvotool {

namespace {

constexpr int32_t kMaxSide = 8192;

COLORREF ParseColor(const std::string& text) {
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw UsageError{"--color takes RRGGBB in hexadecimal"};
  const unsigned long rgb = std::stoul(text, nullptr, 16);
  return static_cast<COLORREF>(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

int RunLabel(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 4, -1);
  if (args.operands.size() % 2 != 0) throw UsageError{"points come as pairs X Y"};
  const std::string& out = args.operands[0];
  const std::string& text = args.operands[1];
  if (text.empty()) throw UsageError{"the text is empty"};
  const int32_t height = ParseInt(args.Value("--height", "16"), "--height");
  if (height < 4 || height > 500) throw UsageError{"--height must be 4 to 500 pixels"};
  const COLORREF color = ParseColor(args.Value("--color", "000000"));
  std::vector<POINT> points;
  int32_t max_x = 0, max_y = 0;
  for (size_t i = 2; i < args.operands.size(); i += 2) {
    const POINT p = {ParseInt(args.operands[i], "X"), ParseInt(args.operands[i + 1], "Y")};
    if (p.x < 0 || p.y < 0 || p.x >= kMaxSide || p.y >= kMaxSide)
      throw UsageError{"points must lie within 0 to 8191"};
    max_x = std::max(max_x, p.x);
    max_y = std::max(max_y, p.y);
    points.push_back(p);
  }
  // Room for the text to run on past the last point and rise above the line.
  const int32_t width = std::min(kMaxSide, max_x + 2 * height + 1);
  const int32_t rows = std::min(kMaxSide, max_y + 2 * height + 1);
  HDC dc = CreateImageDC(width, rows);
  if (dc == nullptr) throw InputError{out, "no memory for the image"};
  LOGFONTA record;
  std::memset(&record, 0, sizeof record);
  record.lfHeight = -height;
  record.lfWeight = 400;
  std::strncpy(record.lfFaceName, args.Value("--face", "Arial").c_str(),
               sizeof record.lfFaceName - 1);
  HFONT font = CreateFontDC(&record);
  if (font == nullptr) {
    FreeImageDC(dc);
    throw InputError{out, "no font for the label"};
  }
  DrawTextPolyline(dc, text.data(), static_cast<int32_t>(text.size()), points.data(),
                   static_cast<int32_t>(points.size()), args.Has("--stretch"), font, color);
  FreeFontDC(font);
  int32_t w = 0, h = 0, stride = 0;
  const void* bits = GetImageBitsDC(dc, &w, &h, &stride);
  try {
    WriteBgrPng(out, bits, w, h, stride);
  } catch (...) {
    FreeImageDC(dc);
    throw;
  }
  FreeImageDC(dc);
  std::fprintf(io.out, "%s: %d x %d\n", out.c_str(), w, h);
  return 0;
}

}  // namespace

const Command kLabelCommand = {
    "label",
    "draws a map label along a polyline into a PNG image",
    "usage: orvo label OUT.png TEXT X1 Y1 [X2 Y2 ...] [--face F] [--height H]\n"
    "                  [--color RRGGBB] [--stretch]\n"
    "  draws TEXT (Windows-1252) along the polyline through the points (pixels,\n"
    "  y down) on a white image just large enough, the bottom of the text on the\n"
    "  line: in runs that turn at the vertices, or with --stretch each character\n"
    "  spread evenly over the whole line. Face Arial, height 16 pixels (the em)\n"
    "  and black unless given.\n",
    {{"--face", true}, {"--height", true}, {"--color", true}, {"--stretch", false}},
    RunLabel};

}  // namespace orvotool
