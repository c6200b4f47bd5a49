// DrawTextPolyline: a label along a polyline, in runs that turn at the
// vertices or spread evenly over the line.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "drawtext/fonts.h"
#include "drawtext/geometry.h"

namespace mt {
namespace {

// Advance widths of the selected font for the 256 character codes.
std::vector<int> GlyphWidths(HDC dc) {
  std::vector<int> widths(256, 0);
  TEXTMETRICA metrics;
  std::memset(&metrics, 0, sizeof metrics);
  GetTextMetricsA(dc, &metrics);
  if (metrics.tmPitchAndFamily & TMPF_TRUETYPE) {
    ABC abc[256];
    std::memset(abc, 0, sizeof abc);
    if (GetCharABCWidthsA(dc, 0, 255, abc))
      for (int k = 0; k < 256; ++k)
        widths[k] = abc[k].abcA + static_cast<int>(abc[k].abcB) + abc[k].abcC;
  } else {
    GetCharWidth32A(dc, 0, 255, widths.data());
  }
  return widths;
}

// Where the next run starts along its chord after the corner at b: the
// previous chord's unused end when the line turns counter-clockwise on the
// screen and that end is between 1 and the text height long.
int64_t CornerOffset(const POINT& a, const POINT& b, const POINT& c, int64_t used, int64_t height) {
  const auto d1 = static_cast<int64_t>(PointDistance(a, b));
  const auto d2 = static_cast<int64_t>(PointDistance(b, c));
  if (d1 == 0 || d2 == 0 || used == 0 || height == 0) return 0;
  // Twice the signed area of a, b, c, positive counter-clockwise on the
  // screen; halved toward zero, so a value below 2 counts as straight on.
  const double area = -(static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) +
                      (static_cast<double>(c.x) - a.x) * (static_cast<double>(b.y) - a.y);
  if (std::trunc(area / 2) <= 0) return 0;
  const int64_t rest = d1 - used;
  return rest < 1 || rest > height ? 0 : rest;
}

struct Label {
  HDC dc;
  LOGFONTA* record;
  const char* text;
  int length;
  const POINT* points;
  int count;
  const std::vector<int>& widths;
  int width(int k) const { return widths[static_cast<uint8_t>(text[k])]; }
};

void DrawSpread(const Label& label, int64_t gap) {
  double d = 0;
  for (int k = 0; k < label.length; ++k) {
    double angle = 0;
    const POINT p = PolylinePoint(label.points, label.count, d, &angle);
    mt::DrawTextFromPoint(label.dc, label.record, label.text + k, 1, &p, angle);
    d += static_cast<double>(label.width(k)) + static_cast<double>(gap);
  }
}

void DrawRuns(const Label& label, int64_t height) {
  const POINT* points = label.points;
  const int last = label.count - 1;
  int i = 0, s = 0, previous = -1;
  int64_t previous_offset = 0, previous_width = 0;
  while (i < label.length) {
    int n = 1;
    int64_t run_width = label.width(i);
    int64_t offset = 0;
    int e = s + 1;
    while (e < last) {
      const double chord = PointDistance(points[s], points[e]);
      if (run_width <= chord) {
        if (previous >= 0)
          offset = CornerOffset(points[previous], points[s], points[e],
                                previous_offset + previous_width, height);
        if (run_width + offset <= chord) break;
      }
      ++e;
    }
    if (e == last) {
      n = label.length - i;  // the rest, running on past the end if need be
    } else {
      const double chord = PointDistance(points[s], points[e]);
      while (i + n < label.length && offset + run_width + label.width(i + n) <= chord) {
        run_width += label.width(i + n);
        ++n;
      }
    }
    const POINT p = PointTowards(points[s], points[e], static_cast<double>(offset));
    const double angle = DirectionAngle(static_cast<double>(points[e].x) - points[s].x,
                                        static_cast<double>(points[e].y) - points[s].y);
    mt::DrawTextFromPoint(label.dc, label.record, label.text + i, n, &p, angle);
    previous = s;
    previous_offset = offset;
    previous_width = run_width;
    s = e;
    i += n;
  }
}

}  // namespace

bool DrawTextPolyline(HDC dc, const char* text, int length, const POINT* points, int count,
                      bool stretch, HFONT font, COLORREF color) noexcept {
  if (dc == nullptr || text == nullptr || points == nullptr || length <= 0 || count <= 0)
    return false;
  const int old_mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF old_color = SetTextColor(dc, color);
  const UINT old_align = SetTextAlign(dc, TA_BOTTOM);
  try {
    LOGFONTA record;
    if (count == 1) {
      HGDIOBJ previous = SelectObject(dc, font);
      TextOutA(dc, points[0].x, points[0].y, text, length);
      if (previous != nullptr) SelectObject(dc, previous);
    } else if (count == 2 && !stretch) {
      mt::Font2Logfont(dc, &record, font);
      mt::DrawTextAlongLine(dc, &record, text, length, &points[0], &points[1]);
    } else {
      mt::Font2Logfont(dc, &record, font);
      HGDIOBJ previous = SelectObject(dc, font);
      const std::vector<int> widths = GlyphWidths(dc);
      SIZE extent = {0, 0};
      GetTextExtentPoint32A(dc, text, length, &extent);
      if (previous != nullptr) SelectObject(dc, previous);
      const Label label{dc, &record, text, length, points, count, widths};
      double text_width = 0, line_length = 0;
      for (int k = 0; k < length; ++k) text_width += label.width(k);
      for (int k = 0; k + 1 < count; ++k) line_length += PointDistance(points[k], points[k + 1]);
      int64_t gap = 0;
      if (stretch && length > 1 && text_width < line_length)
        gap = static_cast<int64_t>(
            std::min(std::floor((line_length - text_width) / (length - 1) + 0.5), 4294967296.0));
      if (gap != 0)
        DrawSpread(label, gap);
      else
        DrawRuns(label, extent.cy);
    }
  } catch (...) {  // no memory for the widths: the label is not drawn
  }
  if (old_align != GDI_ERROR) SetTextAlign(dc, old_align);
  if (old_color != CLR_INVALID) SetTextColor(dc, old_color);
  if (old_mode != 0) SetBkMode(dc, old_mode);
  return true;
}

}  // namespace mt
