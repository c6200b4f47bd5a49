// CreateDIBSection for 24-bit images, and GdiFlush.
#include <cstdint>
#include <cstdlib>
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

BOOL GdiFlush() { return TRUE; }
