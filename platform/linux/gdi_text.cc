// TextOutA: anti-aliased glyphs blended into the selected 24-bit image along
// the font's escapement, with the opaque background and the underline and
// strike-out bars as turned rectangles.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

#include "platform/linux/gdi_font.h"

namespace {

using orvo::linux_api::GdiBitmap;

struct Color {
  uint8_t b, g, r;
};

Color ToColor(COLORREF c) { return {GetBValue(c), GetGValue(c), GetRValue(c)}; }

void Blend(GdiBitmap& image, int64_t x, int64_t y, Color color, unsigned coverage) {
  uint8_t* p = image.Row(static_cast<int32_t>(y)) + x * 3;
  const uint8_t want[3] = {color.b, color.g, color.r};
  for (int k = 0; k < 3; ++k)
    p[k] = static_cast<uint8_t>(
        p[k] + ((static_cast<int>(want[k]) - p[k]) * static_cast<int>(coverage) + 127) / 255);
}

// The text's frame: the baseline's start and its direction, and the
// direction toward the descent, all in device pixels.
struct Frame {
  double x, y;    // where the baseline starts
  double ux, uy;  // along the baseline
  double vx, vy;  // down, across it
};

// Fills the turned rectangle [a0, a1] along and [d0, d1] down of the frame:
// each pixel whose centre lies inside.
void FillTurned(GdiBitmap& image, const Frame& f, double a0, double a1, double d0, double d1,
                Color color) {
  double min_x = INFINITY, max_x = -INFINITY, min_y = INFINITY, max_y = -INFINITY;
  for (double a : {a0, a1})
    for (double d : {d0, d1}) {
      const double px = f.x + a * f.ux + d * f.vx, py = f.y + a * f.uy + d * f.vy;
      min_x = std::min(min_x, px), max_x = std::max(max_x, px);
      min_y = std::min(min_y, py), max_y = std::max(max_y, py);
    }
  const int64_t x0 = static_cast<int64_t>(std::max(0.0, std::floor(min_x)));
  const int64_t x1 = static_cast<int64_t>(std::min<double>(image.width() - 1, std::ceil(max_x)));
  const int64_t y0 = static_cast<int64_t>(std::max(0.0, std::floor(min_y)));
  const int64_t y1 = static_cast<int64_t>(std::min<double>(image.height() - 1, std::ceil(max_y)));
  for (int64_t y = y0; y <= y1; ++y)
    for (int64_t x = x0; x <= x1; ++x) {
      const double dx = x + 0.5 - f.x, dy = y + 0.5 - f.y;
      const double a = dx * f.ux + dy * f.uy, d = dx * f.vx + dy * f.vy;
      if (a >= a0 && a < a1 && d >= d0 && d < d1) Blend(image, x, y, color, 255);
    }
}

void DrawGlyph(GdiBitmap& image, const orvo::linux_api::Glyph& glyph, int64_t x, int64_t y,
               Color color) {
  const int64_t left = x + glyph.left, top = y + glyph.top;
  const int64_t c0 = std::max<int64_t>(0, -left),
                c1 = std::min<int64_t>(glyph.width, image.width() - left);
  const int64_t r0 = std::max<int64_t>(0, -top),
                r1 = std::min<int64_t>(glyph.height, image.height() - top);
  for (int64_t r = r0; r < r1; ++r)
    for (int64_t c = c0; c < c1; ++c) {
      const uint8_t coverage = glyph.coverage[static_cast<size_t>(r * glyph.width + c)];
      if (coverage != 0) Blend(image, left + c, top + r, color, coverage);
    }
}

}  // namespace

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
  if (length < 0 || (text == nullptr && length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<GdiBitmap> image;
  std::shared_ptr<orvo::linux_api::GdiFont> font;
  COLORREF text_color = 0, bk_color = 0;
  int bk_mode = OPAQUE;
  UINT align = 0;
  if (!orvo::linux_api::WithDc(dc, [&](orvo::linux_api::GdiDc& context) {
        image = context.bitmap;
        font = context.font;
        text_color = context.text_color;
        bk_color = context.bk_color;
        bk_mode = context.bk_mode;
        align = context.text_align;
      }))
    return FALSE;
  std::shared_ptr<orvo::linux_api::SizedFace> face = font->face();
  if (face == nullptr) return FALSE;
  if (length == 0) return TRUE;

  const auto& cell = face->metrics();
  int64_t width = 0;
  for (int i = 0; i < length; ++i) width += face->widths(static_cast<uint8_t>(text[i])).advance();
  const LOGFONTA& record = font->record();
  const int escapement = record.lfEscapement % 3600;
  const double turn = escapement * M_PI / 1800.0;
  Frame f{0, 0, std::cos(turn), -std::sin(turn), std::sin(turn), std::cos(turn)};
  double along = 0, down = 0;
  if ((align & TA_CENTER) == TA_CENTER)
    along = -static_cast<double>(width) / 2;
  else if (align & TA_RIGHT)
    along = -static_cast<double>(width);
  if ((align & TA_BASELINE) == TA_BASELINE)
    down = 0;
  else if (align & TA_BOTTOM)
    down = -cell.descent;
  else
    down = cell.ascent;
  f.x = x + along * f.ux + down * f.vx;
  f.y = y + along * f.uy + down * f.vy;

  const double w = static_cast<double>(width);
  if (bk_mode == OPAQUE) FillTurned(*image, f, 0, w, -cell.ascent, cell.descent, ToColor(bk_color));
  const Color ink = ToColor(text_color);
  {
    auto lock = face->Lock();
    int64_t pen = 0;
    for (int i = 0; i < length; ++i) {
      const uint8_t byte = static_cast<uint8_t>(text[i]);
      const double gx = f.x + static_cast<double>(pen) * f.ux,
                   gy = f.y + static_cast<double>(pen) * f.uy;
      if (std::fabs(gx) < 1e9 && std::fabs(gy) < 1e9)
        DrawGlyph(*image, face->Render(byte, escapement), std::llround(gx), std::llround(gy), ink);
      pen += face->widths(byte).advance();
    }
  }
  const double thick = cell.underline_thickness;
  if (record.lfUnderline)
    FillTurned(*image, f, 0, w, cell.underline_position - thick / 2,
               cell.underline_position + thick / 2, ink);
  if (record.lfStrikeOut)
    FillTurned(*image, f, 0, w, -cell.strikeout_position - thick / 2,
               -cell.strikeout_position + thick / 2, ink);
  return TRUE;
}
