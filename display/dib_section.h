// An off-screen 24-bit image in its own memory device context, drawn into
// through row pointers and copied to other contexts with BitBlt.
#ifndef DISPLAY_DIB_SECTION_H_
#define DISPLAY_DIB_SECTION_H_

#include <cstdint>

#include "platform/win32.h"

namespace mt {

// Rows are stored top row first, stride bytes apart; pixels are blue, green,
// red. GDI failures raise MtException ("can't create dc", "can't create
// bitmap"); a BMP image that cannot be read raises "unsupported image format"
// as a plain message.
class TDibSection {
 public:
  // A width x height image, black, in a memory context compatible with dc
  // (null: the screen's).
  TDibSection(int32_t width, int32_t height, HDC dc);
  // The pixels of a BMP file image of 24 or 32 bits a pixel (count bytes at
  // bmp), white where the file has none. The file's size field, pixel offset
  // and rows must lie within count bytes.
  TDibSection(const void* bmp, int64_t count, HDC dc);
  virtual ~TDibSection();
  TDibSection(const TDibSection&) = delete;
  TDibSection& operator=(const TDibSection&) = delete;

  // The memory context holding the image; valid as long as this object.
  HDC GetDC() const { return dc_; }
  int32_t GetWidth() const { return width_; }
  int32_t GetHeight() const { return height_; }
  int32_t GetStride() const { return stride_; }
  // The first byte of the row (0 = top), null without pixels or outside
  // 0..height - 1. Valid until the next Resize or destruction.
  uint8_t* GetRow(int32_t row) const;

  // Re-sizes to width x |height|, keeping the pixels both sizes share and
  // filling the rest with the background.
  void Resize(int32_t width, int32_t height);
  // Every pixel equal to colour (red in the low byte) becomes white, every
  // other one black.
  void MakeMask(COLORREF colour);

 private:
  void CreateDc(HDC dc);
  void CopyBmpPixels(const uint8_t* file, int64_t count);

  HDC dc_ = nullptr;
  HGDIOBJ initial_ = nullptr;  // the bitmap dc_ came with; put back at the end
  HBITMAP bitmap_ = nullptr;   // selected into dc_ once created
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t stride_ = 0;
  uint8_t background_[3] = {0, 0, 0};  // blue, green, red
  uint8_t* bits_ = nullptr;            // owned by bitmap_
};

}  // namespace mt

#endif  // DISPLAY_DIB_SECTION_H_
