// The software GDI's objects and their handle table: bitmaps (DIB sections
// and the stock bitmap) and memory device contexts. A bitmap is selected into
// at most one device context at a time, as in Windows; the table's lock
// guards the selections, and lookups hand out shared references, so a blit in
// one thread keeps its bitmaps alive while another thread deletes them.
#ifndef PLATFORM_LINUX_GDI_OBJECTS_H_
#define PLATFORM_LINUX_GDI_OBJECTS_H_

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/win32.h"

namespace orvo::linux_api {

enum class GdiKind { kBitmap, kDc, kFont };

class GdiFont;  // gdi_font.h

class GdiObject {
 public:
  explicit GdiObject(GdiKind kind) : kind_(kind) {}
  virtual ~GdiObject() = default;
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  GdiKind kind() const { return kind_; }
  HGDIOBJ handle = nullptr;  // set when the object enters the table

 private:
  const GdiKind kind_;
};

// A 24-bit image: rows of `stride` bytes, stored top row first or last.
class GdiBitmap : public GdiObject {
 public:
  static constexpr GdiKind kKind = GdiKind::kBitmap;
  GdiBitmap(int32_t width, int32_t height, bool top_down, uint8_t* bits, bool stock);
  ~GdiBitmap() override;

  uint8_t* Row(int32_t y) const {
    int32_t stored = top_down_ ? y : height_ - 1 - y;
    return bits_ + static_cast<int64_t>(stored) * stride_;
  }
  uint8_t* Bits() const { return bits_; }  // the first stored row
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t stride() const { return stride_; }
  bool stock() const { return stock_; }

  // The context this bitmap is selected into (never set for the stock one);
  // guarded by the table's lock.
  const void* selected_into = nullptr;

 private:
  const int32_t width_;
  const int32_t height_;
  const int32_t stride_;
  const bool top_down_;
  const bool stock_;
  uint8_t* const bits_;  // owned (calloc), except for the stock bitmap's
};

// A memory device context: its bitmap and its text state, all guarded by the
// table's lock. The text state starts with Windows' defaults.
class GdiDc : public GdiObject {
 public:
  static constexpr GdiKind kKind = GdiKind::kDc;
  GdiDc() : GdiObject(kKind) {}

  std::shared_ptr<GdiBitmap> bitmap;
  std::shared_ptr<GdiFont> font;  // the stock font until another is selected
  COLORREF text_color = 0x000000;
  COLORREF bk_color = 0xFFFFFF;
  int bk_mode = 2;      // OPAQUE
  UINT text_align = 0;  // TA_LEFT | TA_TOP
};

// Runs change on the context under the table's lock; false (with
// ERROR_INVALID_HANDLE) for a bad handle. change must not call back into the
// GDI.
bool WithDc(HDC dc, const std::function<void(GdiDc&)>& change);

// Stores the object under a fresh handle (never 0); null when the table is full.
HGDIOBJ InsertGdiObject(const std::shared_ptr<GdiObject>& object);

// The object the handle names if it is of kind T; null with
// ERROR_INVALID_HANDLE otherwise.
std::shared_ptr<GdiObject> LookupGdiObject(HGDIOBJ handle, GdiKind kind);
template <typename T>
std::shared_ptr<T> LookupGdi(HGDIOBJ handle) {
  return std::static_pointer_cast<T>(LookupGdiObject(handle, T::kKind));
}

// The bitmap selected into the context now; null for a bad handle.
std::shared_ptr<GdiBitmap> SelectedBitmap(HDC dc);

// The 1 x 1 bitmap every new device context holds.
std::shared_ptr<GdiBitmap> StockBitmap();

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_GDI_OBJECTS_H_
