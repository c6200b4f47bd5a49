// Fonts for labels and text drawn from a point or along a line, each in a
// font of its own turned to the text's angle. None of these throws.
#ifndef DRAWTEXT_FONTS_H_
#define DRAWTEXT_FONTS_H_

#include "platform/win32.h"

namespace mt {

// The record that recreates the font: its metrics, its face, no rotation.
// Nothing happens for a null record.
void Font2Logfont(HDC dc, LOGFONTA* record, HFONT font) noexcept;

// Writes angle * 10 (truncated) into the record's escapement and orientation
// and draws the text at the point in a font made from the record. The result
// is that of deleting the font; false, the record untouched, for a null
// record, text or point, a negative length or an angle that is no number.
bool DrawTextFromPoint(HDC dc, LOGFONTA* record, const char* text, int length, const POINT* point,
                       double angle) noexcept;

// DrawTextFromPoint at start, along end - start (angle 0 when both points
// have the same y).
bool DrawTextAlongLine(HDC dc, LOGFONTA* record, const char* text, int length, const POINT* start,
                       const POINT* end) noexcept;

// A font for the record (null for a null record) and its deletion.
HFONT CreateFontDc(const LOGFONTA* record) noexcept;
bool FreeFontDc(HFONT font) noexcept;

// The polyline label: runs of characters along chords that turn at the
// vertices, or with stretch the characters spread evenly over the whole
// line. False only for bad arguments.
bool DrawTextPolyline(HDC dc, const char* text, int length, const POINT* points, int count,
                      bool stretch, HFONT font, COLORREF color) noexcept;

}  // namespace mt

#endif  // DRAWTEXT_FONTS_H_
