// Text along lines and the font handles that hosts pass to it. None raises.
#include "drawtext/fonts.h"
#include "orvoapi.h"

extern "C" {

ORVO_API void ORVO_CDECL Font2Logfont(HDC dc, LOGFONTA* record, HFONT font) {
  mt::Font2Logfont(dc, record, font);
}

ORVO_API bool ORVO_CDECL DrawTextFromPoint(HDC dc, LOGFONTA* record, const char* text,
                                           int32_t length, const POINT* point, double angle) {
  return mt::DrawTextFromPoint(dc, record, text, length, point, angle);
}

ORVO_API bool ORVO_CDECL DrawTextAlongLine(HDC dc, LOGFONTA* record, const char* text,
                                           int32_t length, const POINT* start, const POINT* end) {
  return mt::DrawTextAlongLine(dc, record, text, length, start, end);
}

ORVO_API bool ORVO_CDECL DrawTextPolyline(HDC dc, const char* text, int32_t length,
                                          const POINT* points, int32_t count, bool stretch,
                                          HFONT font, COLORREF color) {
  return mt::DrawTextPolyline(dc, text, length, points, count, stretch, font, color);
}

ORVO_API HFONT ORVO_CDECL CreateFontDC(const LOGFONTA* font) { return mt::CreateFontDc(font); }

ORVO_API bool ORVO_CDECL FreeFontDC(HFONT font) { return mt::FreeFontDc(font); }

}  // extern "C"
