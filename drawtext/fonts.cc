#include "drawtext/fonts.h"

#include <cmath>
#include <cstring>

#include "drawtext/geometry.h"

namespace mt {

void Font2Logfont(HDC dc, LOGFONTA* record, HFONT font) noexcept {
  if (record == nullptr) return;
  HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA metrics;
  std::memset(&metrics, 0, sizeof metrics);
  GetTextMetricsA(dc, &metrics);
  std::memset(record, 0, sizeof *record);
  record->lfHeight = metrics.tmHeight;
  record->lfWeight = metrics.tmWeight;
  record->lfItalic = metrics.tmItalic;
  record->lfUnderline = metrics.tmUnderlined;
  record->lfStrikeOut = metrics.tmStruckOut;
  record->lfCharSet = metrics.tmCharSet;
  record->lfOutPrecision = OUT_TT_ONLY_PRECIS;
  record->lfClipPrecision = 0;
  record->lfQuality = CLEARTYPE_QUALITY;
  record->lfPitchAndFamily = metrics.tmPitchAndFamily;
  GetTextFaceA(dc, LF_FACESIZE, record->lfFaceName);
  record->lfFaceName[LF_FACESIZE - 1] = '\0';
  if (previous != nullptr) SelectObject(dc, previous);
}

bool DrawTextFromPoint(HDC dc, LOGFONTA* record, const char* text, int length, const POINT* point,
                       double angle) noexcept {
  if (record == nullptr || text == nullptr || point == nullptr || length < 0 ||
      !std::isfinite(angle))
    return false;
  double tenths = angle * 10;
  if (std::fabs(tenths) >= 2147483647.0) tenths = std::fmod(tenths, 3600.0);  // same direction
  record->lfEscapement = record->lfOrientation = static_cast<LONG>(tenths);
  HFONT font = CreateFontIndirectA(record);
  if (font == nullptr) return false;
  HGDIOBJ previous = SelectObject(dc, font);
  TextOutA(dc, point->x, point->y, text, length);
  if (previous != nullptr) SelectObject(dc, previous);
  return DeleteObject(font) != 0;
}

bool DrawTextAlongLine(HDC dc, LOGFONTA* record, const char* text, int length, const POINT* start,
                       const POINT* end) noexcept {
  if (start == nullptr || end == nullptr) return false;
  const double angle = start->y == end->y ? 0
                                          : DirectionAngle(static_cast<double>(end->x) - start->x,
                                                           static_cast<double>(end->y) - start->y);
  return mt::DrawTextFromPoint(dc, record, text, length, start, angle);
}

HFONT CreateFontDc(const LOGFONTA* record) noexcept {
  return record == nullptr ? nullptr : CreateFontIndirectA(record);
}

bool FreeFontDc(HFONT font) noexcept { return font != nullptr && DeleteObject(font) != 0; }

}  // namespace mt
