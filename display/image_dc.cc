// Image device contexts: a DIB section selected into a memory context. The
// context itself is the only record kept; what it holds is asked of the GDI.
#include "display/image_dc.h"

#include <cstring>

namespace mt {
namespace {

// The GDI describes a DIB section without its row order (biHeight comes back
// positive either way), so the order is found by asking the GDI to invert
// pixel (0, 0) and watching which bytes change; inverting twice restores it.
bool TopRowIsStoredFirst(HDC dc, const uint8_t* bits) {
  uint8_t before[3];
  std::memcpy(before, bits, 3);
  if (!BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT)) return false;
  GdiFlush();
  const bool first = bits[0] == static_cast<uint8_t>(~before[0]) &&
                     bits[1] == static_cast<uint8_t>(~before[1]) &&
                     bits[2] == static_cast<uint8_t>(~before[2]);
  BitBlt(dc, 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT);
  GdiFlush();
  return first;
}

// The selected DIB section when it is a 24-bit top-down image.
HGDIOBJ ImageBitmap(HDC dc, DIBSECTION* section) {
  if (dc == nullptr) return nullptr;
  HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
  if (bitmap == nullptr) return nullptr;
  std::memset(section, 0, sizeof *section);
  if (GetObjectA(bitmap, sizeof *section, section) != static_cast<int>(sizeof *section))
    return nullptr;
  const BITMAP& bm = section->dsBm;
  if (bm.bmBits == nullptr || bm.bmBitsPixel != 24 || bm.bmPlanes != 1 || bm.bmWidth < 1 ||
      bm.bmHeight < 1)
    return nullptr;
  GdiFlush();
  if (!TopRowIsStoredFirst(dc, static_cast<const uint8_t*>(bm.bmBits))) return nullptr;
  return bitmap;
}

}  // namespace

HDC CreateImageDc(int32_t width, int32_t height) noexcept {
  if (width < 1 || height < 1) return nullptr;
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(/*dc=*/nullptr, &info, DIB_RGB_COLORS, &bits,
                                    /*section=*/nullptr, /*offset=*/0);
  if (bitmap == nullptr) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (bits == nullptr || dc == nullptr || SelectObject(dc, bitmap) == nullptr) {
    if (dc != nullptr) DeleteDC(dc);
    DeleteObject(bitmap);
    return nullptr;
  }
  const int64_t stride = (int64_t{width} * 3 + 3) & ~int64_t{3};
  std::memset(bits, 0xFF, static_cast<size_t>(stride * height));
  return dc;
}

void* ImageDcBits(HDC dc, int32_t* width, int32_t* height, int32_t* stride) noexcept {
  DIBSECTION section;
  if (ImageBitmap(dc, &section) == nullptr) return nullptr;
  if (width != nullptr) *width = section.dsBm.bmWidth;
  if (height != nullptr) *height = section.dsBm.bmHeight;
  if (stride != nullptr) *stride = (section.dsBm.bmWidth * 3 + 3) & ~3;
  return section.dsBm.bmBits;
}

bool FreeImageDc(HDC dc) noexcept {
  DIBSECTION section;
  HGDIOBJ bitmap = ImageBitmap(dc, &section);
  if (bitmap == nullptr) return false;
  // Deleting the context lets go of the bitmap, which can then be deleted.
  if (!DeleteDC(dc)) return false;
  DeleteObject(bitmap);
  return true;
}

}  // namespace mt
