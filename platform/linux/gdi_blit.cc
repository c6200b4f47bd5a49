// BitBlt between 24-bit bitmaps with any ternary raster operation; the four
// the library draws with (copy, xor, and, or) take their own loops.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/linux/gdi_objects.h"

namespace {

using orvo::linux_api::GdiBitmap;

// The operation's index byte: bit P*4 + S*2 + D holds the result.
uint8_t RopIndex(DWORD rop) { return static_cast<uint8_t>(rop >> 16); }

bool UsesSource(uint8_t index) { return ((index >> 2) ^ index) & 0x33; }

// Any operation, a byte at a time, with the white pattern (all ones).
uint8_t Combine(uint8_t index, uint8_t s, uint8_t d) {
  uint8_t result = 0;
  for (int k = 0; k < 8; ++k) {
    if (((index >> k) & 1) == 0) continue;
    uint8_t term = (k & 4) ? 0xFF : 0x00;
    term &= (k & 2) ? s : static_cast<uint8_t>(~s);
    term &= (k & 1) ? d : static_cast<uint8_t>(~d);
    result |= term;
  }
  return result;
}

void CombineRow(uint8_t index, uint8_t* dst, const uint8_t* src, size_t bytes) {
  switch (index) {
    case 0xCC:  // SRCCOPY
      std::memmove(dst, src, bytes);
      return;
    case 0x66:  // SRCINVERT
      for (size_t i = 0; i < bytes; ++i) dst[i] ^= src[i];
      return;
    case 0x88:  // SRCAND
      for (size_t i = 0; i < bytes; ++i) dst[i] &= src[i];
      return;
    case 0xEE:  // SRCPAINT
      for (size_t i = 0; i < bytes; ++i) dst[i] |= src[i];
      return;
    default:
      for (size_t i = 0; i < bytes; ++i) dst[i] = Combine(index, src ? src[i] : 0, dst[i]);
  }
}

// Cuts [start, start + extent) of the destination and the source to both
// images, moving both starts together. False when nothing is left.
bool ClipSpan(int64_t& dst, int64_t& src, int64_t& extent, int64_t dst_size, int64_t src_size) {
  if (dst < 0) {
    src -= dst;
    extent += dst;
    dst = 0;
  }
  if (src < 0) {
    dst -= src;
    extent += src;
    src = 0;
  }
  extent = std::min({extent, dst_size - dst, src_size - src});
  return extent > 0;
}

}  // namespace

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int src_x, int src_y, DWORD rop) {
  const uint8_t index = RopIndex(rop);
  std::shared_ptr<GdiBitmap> target = orvo::linux_api::SelectedBitmap(dst);
  if (target == nullptr) return FALSE;
  const bool with_source = UsesSource(index);
  std::shared_ptr<GdiBitmap> source;
  if (with_source) {
    source = orvo::linux_api::SelectedBitmap(src);
    if (source == nullptr) return FALSE;
  }
  int64_t dx = x, dy = y, sx = src_x, sy = src_y, cx = w, cy = h;
  if (cx < 0) {  // a negative extent names the same rectangle from its far side
    dx += cx;
    sx += cx;
    cx = -cx;
  }
  if (cy < 0) {
    dy += cy;
    sy += cy;
    cy = -cy;
  }
  const GdiBitmap& clip = source != nullptr ? *source : *target;
  if (!with_source) {  // only the destination bounds the rectangle
    sx = dx;
    sy = dy;
  }
  if (!ClipSpan(dx, sx, cx, target->width(), clip.width()) ||
      !ClipSpan(dy, sy, cy, target->height(), clip.height()))
    return TRUE;

  const size_t bytes = static_cast<size_t>(cx) * 3;
  if (!with_source) {
    for (int64_t r = 0; r < cy; ++r)
      CombineRow(index, target->Row(static_cast<int32_t>(dy + r)) + dx * 3, nullptr, bytes);
    return TRUE;
  }
  // Within one bitmap the rectangles may overlap: read the source first.
  std::vector<uint8_t> copy;
  if (source == target) {
    try {
      copy.resize(bytes * static_cast<size_t>(cy));
    } catch (...) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
    for (int64_t r = 0; r < cy; ++r)
      std::memcpy(copy.data() + r * bytes, source->Row(static_cast<int32_t>(sy + r)) + sx * 3,
                  bytes);
  }
  for (int64_t r = 0; r < cy; ++r) {
    const uint8_t* from =
        copy.empty() ? source->Row(static_cast<int32_t>(sy + r)) + sx * 3 : copy.data() + r * bytes;
    CombineRow(index, target->Row(static_cast<int32_t>(dy + r)) + dx * 3, from, bytes);
  }
  return TRUE;
}
