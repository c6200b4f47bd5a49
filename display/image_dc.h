// Device contexts holding a 24-bit top-down image that a host can draw into
// and read back, on every platform.
#ifndef DISPLAY_IMAGE_DC_H_
#define DISPLAY_IMAGE_DC_H_

#include <cstdint>

#include "platform/win32.h"

namespace mt {

// A memory device context holding a white width x height image, rows top
// row first; null when a size is below 1 or the GDI refuses. Free it with
// FreeImageDc. Never throws.
HDC CreateImageDc(int32_t width, int32_t height) noexcept;

// The first byte of the image's top row (pixels blue, green, red, rows
// (width * 3 + 3) & ~3 bytes apart) and its size; null for a context that
// holds no 24-bit top-down DIB section. Valid until FreeImageDc. Pending
// drawing is flushed first. Each output pointer may be null.
void* ImageDcBits(HDC dc, int32_t* width, int32_t* height, int32_t* stride) noexcept;

// Deletes a context made by CreateImageDc and its image; false for others.
bool FreeImageDc(HDC dc) noexcept;

}  // namespace mt

#endif  // DISPLAY_IMAGE_DC_H_
