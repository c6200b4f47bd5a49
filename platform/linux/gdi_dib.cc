// CreateDIBSection for 24-bit images, and GdiFlush.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux/gdi_objects.h"

HBITMAP CreateDIBSection(HDC /*dc*/, const BITMAPINFO* info, UINT usage, void** bits,
                         HANDLE section, DWORD /*offset*/) {
  if (bits != nullptr) *bits = nullptr;
  if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const BITMAPINFOHEADER& head = info->bmiHeader;
  // INT32_MIN has no magnitude; it is no size anyone can ask for.
  if (head.biSize < sizeof(BITMAPINFOHEADER) || head.biPlanes != 1 || head.biBitCount != 24 ||
      head.biCompression != BI_RGB || head.biWidth < 1 || head.biHeight == 0 ||
      head.biHeight == INT32_MIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const int64_t width = head.biWidth;
  const int64_t height = head.biHeight < 0 ? -int64_t{head.biHeight} : head.biHeight;
  const int64_t stride = (width * 3 + 3) & ~int64_t{3};
  if (stride > INT32_MAX || stride * height > INT32_MAX) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* pixels = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(stride * height), 1));
  if (pixels == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::shared_ptr<orvo::linux_api::GdiBitmap> bitmap;
  try {
    bitmap = std::make_shared<orvo::linux_api::GdiBitmap>(static_cast<int32_t>(width),
                                                          static_cast<int32_t>(height),
                                                          head.biHeight < 0, pixels, false);
  } catch (...) {
    std::free(pixels);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HGDIOBJ handle = orvo::linux_api::InsertGdiObject(bitmap);
  if (handle == nullptr) return nullptr;
  if (bits != nullptr) *bits = pixels;
  return static_cast<HBITMAP>(handle);
}

int GetObjectA(HGDIOBJ object, int size, void* buffer) {
  auto bitmap = orvo::linux_api::LookupGdi<orvo::linux_api::GdiBitmap>(object);
  if (bitmap == nullptr) return 0;
  const bool dib = !bitmap->stock();
  const int full = dib ? static_cast<int>(sizeof(DIBSECTION)) : static_cast<int>(sizeof(BITMAP));
  if (buffer == nullptr) return full;
  if (size < static_cast<int>(sizeof(BITMAP))) return 0;
  DIBSECTION section;
  std::memset(&section, 0, sizeof section);
  // The stock bitmap reads as Windows' one-bit 1 x 1 bitmap, whatever it
  // holds here, so no caller takes it for an image.
  section.dsBm.bmWidth = bitmap->width();
  section.dsBm.bmHeight = bitmap->height();
  section.dsBm.bmWidthBytes = dib ? bitmap->stride() : 2;
  section.dsBm.bmPlanes = 1;
  section.dsBm.bmBitsPixel = dib ? 24 : 1;
  if (dib) {
    section.dsBm.bmBits = bitmap->Bits();
    BITMAPINFOHEADER& head = section.dsBmih;
    head.biSize = sizeof(BITMAPINFOHEADER);
    head.biWidth = bitmap->width();
    head.biHeight = bitmap->height();
    head.biPlanes = 1;
    head.biBitCount = 24;
    head.biCompression = BI_RGB;
    head.biSizeImage = static_cast<DWORD>(bitmap->stride()) * static_cast<DWORD>(bitmap->height());
  }
  const int written = size >= full ? full : static_cast<int>(sizeof(BITMAP));
  std::memcpy(buffer, &section, static_cast<size_t>(written));
  return written;
}

BOOL GdiFlush() { return TRUE; }
