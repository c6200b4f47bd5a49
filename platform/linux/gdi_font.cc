// CreateFontIndirectA, the font queries and the context's text settings.
#include "platform/linux/gdi_font.h"

#include <algorithm>
#include <cstring>

#include "platform/linux/font_faces.h"
#include "platform/linux/unload.h"

namespace orvo::linux_api {

void GdiFont::Resolve() {
  std::call_once(resolved_, [this] {
    char name[LF_FACESIZE + 1] = {};
    std::memcpy(name, record_.lfFaceName, LF_FACESIZE);  // a full field has no NUL
    FaceFile file = FindFace(name, record_.lfWeight, record_.lfItalic != 0);
    family_ = file.family;
    pitch_family_ = file.pitch_family;
    if (!file.path.empty()) face_ = SizedFace::Get(file.path, file.index, record_.lfHeight);
  });
}

std::shared_ptr<SizedFace> GdiFont::face() {
  Resolve();
  return face_;
}

const std::string& GdiFont::family() {
  Resolve();
  return family_;
}

int GdiFont::pitch_family() {
  Resolve();
  return pitch_family_;
}

std::shared_ptr<GdiFont> StockFont() {
  static std::shared_ptr<GdiFont>* stock = [] {
    LOGFONTA record;
    std::memset(&record, 0, sizeof record);
    record.lfHeight = 16;
    record.lfWeight = FW_BOLD;  // Windows' system font is bold
    std::strcpy(record.lfFaceName, "Arial");
    auto* font = KeptUntilUnload(
        new std::shared_ptr<GdiFont>(std::make_shared<GdiFont>(record, /*stock=*/true)));
    InsertGdiObject(*font);
    return font;
  }();
  return *stock;
}

bool SelectedFace(HDC dc, std::shared_ptr<GdiFont>* font, std::shared_ptr<SizedFace>* face) {
  std::shared_ptr<GdiFont> selected;
  if (!WithDc(dc, [&](GdiDc& context) { selected = context.font; })) return false;
  std::shared_ptr<SizedFace> sized = selected->face();
  if (sized == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  if (font != nullptr) *font = std::move(selected);
  *face = std::move(sized);
  return true;
}

}  // namespace orvo::linux_api

using orvo::linux_api::GdiDc;
using orvo::linux_api::GdiFont;
using orvo::linux_api::SelectedFace;
using orvo::linux_api::SizedFace;

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::shared_ptr<GdiFont> object;
  try {
    object = std::make_shared<GdiFont>(*font, /*stock=*/false);
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return static_cast<HFONT>(orvo::linux_api::InsertGdiObject(object));
}

BOOL GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
  std::shared_ptr<GdiFont> font;
  std::shared_ptr<SizedFace> face;
  if (metrics == nullptr || !SelectedFace(dc, &font, &face)) return FALSE;
  const auto& cell = face->metrics();
  const LOGFONTA& record = font->record();
  std::memset(metrics, 0, sizeof *metrics);
  metrics->tmAscent = cell.ascent;
  metrics->tmDescent = cell.descent;
  metrics->tmHeight = cell.ascent + cell.descent;
  metrics->tmInternalLeading = std::max(0, metrics->tmHeight - cell.em);
  metrics->tmExternalLeading = cell.external_leading;
  metrics->tmAveCharWidth = cell.average_width;
  metrics->tmMaxCharWidth = cell.max_width;
  metrics->tmWeight = record.lfWeight == 0 ? FW_NORMAL : record.lfWeight;
  metrics->tmDigitizedAspectX = 96;
  metrics->tmDigitizedAspectY = 96;
  metrics->tmFirstChar = 0x20;
  metrics->tmLastChar = 0xFF;
  metrics->tmDefaultChar = 0x1F;
  metrics->tmBreakChar = 0x20;
  metrics->tmItalic = record.lfItalic ? 0xFF : 0;
  metrics->tmUnderlined = record.lfUnderline ? 0xFF : 0;
  metrics->tmStruckOut = record.lfStrikeOut ? 0xFF : 0;
  const int pitch_family = font->pitch_family();
  const bool fixed = (pitch_family & 0x0F) == FIXED_PITCH;
  metrics->tmPitchAndFamily = static_cast<BYTE>((pitch_family & 0xF0) | TMPF_TRUETYPE |
                                                TMPF_VECTOR | (fixed ? 0 : TMPF_FIXED_PITCH));
  metrics->tmCharSet = record.lfCharSet == DEFAULT_CHARSET ? ANSI_CHARSET : record.lfCharSet;
  return TRUE;
}

int GetTextFaceA(HDC dc, int size, LPSTR name) {
  std::shared_ptr<GdiFont> font;
  std::shared_ptr<SizedFace> face;
  if (!SelectedFace(dc, &font, &face)) return 0;
  const std::string& family = font->family();
  const int needed = static_cast<int>(family.size()) + 1;
  if (name == nullptr) return needed;
  if (size < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int copied = std::min(size, needed);
  std::memcpy(name, family.data(), static_cast<size_t>(copied - 1));
  name[copied - 1] = '\0';
  return copied;
}

namespace {

// The characters first..last of the selected face, one at a time.
template <class Each>
BOOL ForChars(HDC dc, UINT first, UINT last, const void* out, Each&& each) {
  std::shared_ptr<SizedFace> face;
  if (out == nullptr || first > last || last > 0xFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!SelectedFace(dc, nullptr, &face)) return FALSE;
  for (UINT c = first; c <= last; ++c) each(c - first, face->widths(static_cast<uint8_t>(c)));
  return TRUE;
}

}  // namespace

BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, LPABC widths) {
  return ForChars(dc, first, last, widths, [&](UINT k, const orvo::linux_api::CharWidths& w) {
    widths[k].abcA = w.a;
    widths[k].abcB = static_cast<UINT>(w.b);
    widths[k].abcC = w.c;
  });
}

BOOL GetCharWidth32A(HDC dc, UINT first, UINT last, int* widths) {
  return ForChars(dc, first, last, widths,
                  [&](UINT k, const orvo::linux_api::CharWidths& w) { widths[k] = w.advance(); });
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, LPSIZE size) {
  std::shared_ptr<SizedFace> face;
  if (size == nullptr || length < 0 || (text == nullptr && length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!SelectedFace(dc, nullptr, &face)) return FALSE;
  int64_t width = 0;
  for (int i = 0; i < length; ++i) width += face->widths(static_cast<uint8_t>(text[i])).advance();
  size->cx = static_cast<LONG>(std::min<int64_t>(width, INT32_MAX));
  size->cy = face->metrics().ascent + face->metrics().descent;
  return TRUE;
}

int SetBkMode(HDC dc, int mode) {
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int previous = 0;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) {
    previous = context.bk_mode;
    context.bk_mode = mode;
  });
  return previous;
}

UINT SetTextAlign(HDC dc, UINT align) {
  UINT previous = GDI_ERROR;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) {
    previous = context.text_align;
    context.text_align = align;
  });
  return previous;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  COLORREF previous = CLR_INVALID;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) {
    previous = context.text_color;
    context.text_color = color & 0xFFFFFF;
  });
  return previous;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  COLORREF previous = CLR_INVALID;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) {
    previous = context.bk_color;
    context.bk_color = color & 0xFFFFFF;
  });
  return previous;
}

int GetBkMode(HDC dc) {
  int mode = 0;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) { mode = context.bk_mode; });
  return mode;
}

UINT GetTextAlign(HDC dc) {
  UINT align = GDI_ERROR;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) { align = context.text_align; });
  return align;
}

COLORREF GetTextColor(HDC dc) {
  COLORREF color = CLR_INVALID;
  orvo::linux_api::WithDc(dc, [&](GdiDc& context) { color = context.text_color; });
  return color;
}
