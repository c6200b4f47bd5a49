// TDibSection: a top-down 24-bit DIB section selected into a memory context.
#include "display/dib_section.h"

#include <algorithm>
#include <cstring>

#include "base/little_endian.h"
#include "display/mt_exception.h"

namespace mt {
namespace {

constexpr char kUnsupportedImageFormat[] = "unsupported image format";

// BMP file header (14 bytes) and the info header fields this reader needs.
constexpr int64_t kBmpHeadSize = 54;
constexpr int kBmpFileSize = 2;
constexpr int kBmpPixelOffset = 10;
constexpr int kBmpWidth = 18;
constexpr int kBmpHeight = 22;
constexpr int kBmpBitCount = 28;

[[noreturn]] void RaiseFormat() { throw kUnsupportedImageFormat; }

}  // namespace

TDibSection::TDibSection(int32_t width, int32_t height, HDC dc) {
  CreateDc(dc);
  try {
    Resize(width, height);
  } catch (...) {
    DeleteDC(dc_);
    throw;
  }
}

TDibSection::TDibSection(const void* bmp, int64_t count, HDC dc) {
  const auto* file = static_cast<const uint8_t*>(bmp);
  if (file == nullptr || count < kBmpHeadSize || file[0] != 'B' || file[1] != 'M') RaiseFormat();
  const int bits = file[kBmpBitCount] | file[kBmpBitCount + 1] << 8;
  const int64_t file_size = static_cast<uint32_t>(orvo::ReadLe32(file + kBmpFileSize));
  if ((bits != 24 && bits != 32) || file_size > count) RaiseFormat();
  const int32_t width = orvo::ReadLe32(file + kBmpWidth);
  const int32_t height = orvo::ReadLe32(file + kBmpHeight);
  // A damaged head must not send the copy outside the file: the rows it
  // names have to lie within the bytes given.
  if (width < 1 || height == 0 || height == INT32_MIN) RaiseFormat();
  const int64_t rows = height < 0 ? -int64_t{height} : height;
  const int64_t row_bytes =
      bits == 24 ? (int64_t{width} * 3 + 3) & ~int64_t{3} : int64_t{width} * 4;
  const int64_t offset = static_cast<uint32_t>(orvo::ReadLe32(file + kBmpPixelOffset));
  // Divided, not multiplied: a huge width times a huge height overflows.
  if (offset < kBmpHeadSize || offset > count || rows > (count - offset) / row_bytes) RaiseFormat();

  CreateDc(dc);
  try {
    std::memset(background_, 0xFF, sizeof background_);
    Resize(width, height);
    CopyBmpPixels(file, count);
  } catch (...) {
    if (bitmap_ != nullptr) {
      SelectObject(dc_, initial_);
      DeleteObject(bitmap_);
    }
    DeleteDC(dc_);
    throw;
  }
}

TDibSection::~TDibSection() {
  if (bitmap_ != nullptr) {
    SelectObject(dc_, initial_);
    DeleteObject(bitmap_);
  }
  DeleteDC(dc_);
}

void TDibSection::CreateDc(HDC dc) {
  dc_ = CreateCompatibleDC(dc);
  if (dc_ == nullptr) throw MtException(0, kCantCreateDc);
}

uint8_t* TDibSection::GetRow(int32_t row) const {
  if (bits_ == nullptr || row < 0 || row >= height_) return nullptr;
  return bits_ + static_cast<int64_t>(row) * stride_;
}

void TDibSection::Resize(int32_t width, int32_t height) {
  const int64_t rows = height < 0 ? -int64_t{height} : height;
  if (width < 1 || rows < 1 || rows > INT32_MAX) throw MtException(0, kCantCreateBitmap);
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = static_cast<LONG>(-rows);  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (bitmap == nullptr || pixels == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    throw MtException(0, kCantCreateBitmap);
  }

  auto* fresh = static_cast<uint8_t*>(pixels);
  const int32_t stride = (width * 3 + 3) & ~3;
  const int32_t kept_columns = bits_ != nullptr ? std::min(width_, width) : 0;
  const bool plain = background_[0] == background_[1] && background_[1] == background_[2];
  for (int64_t r = 0; r < rows; ++r) {
    uint8_t* row = fresh + r * stride;
    int32_t kept = r < height_ ? kept_columns : 0;
    if (kept > 0) std::memcpy(row, bits_ + r * stride_, static_cast<size_t>(kept) * 3);
    if (plain) {
      std::memset(row + kept * 3, background_[0], static_cast<size_t>(width - kept) * 3);
    } else {
      for (int32_t x = kept; x < width; ++x) std::memcpy(row + x * 3, background_, 3);
    }
  }

  HGDIOBJ previous = SelectObject(dc_, bitmap);
  if (previous == nullptr) {
    DeleteObject(bitmap);
    throw MtException(0, kCantCreateBitmap);
  }
  if (bitmap_ == nullptr) {
    initial_ = previous;
  } else {
    DeleteObject(previous);
  }
  bitmap_ = bitmap;
  bits_ = fresh;
  width_ = width;
  height_ = static_cast<int32_t>(rows);
  stride_ = stride;
}

void TDibSection::CopyBmpPixels(const uint8_t* file, int64_t /*count*/) {
  const int bits = file[kBmpBitCount] | file[kBmpBitCount + 1] << 8;
  const bool top_down = orvo::ReadLe32(file + kBmpHeight) < 0;
  const uint8_t* pixels = file + static_cast<uint32_t>(orvo::ReadLe32(file + kBmpPixelOffset));
  const int64_t source_stride = bits == 24 ? stride_ : int64_t{width_} * 4;
  for (int32_t r = 0; r < height_; ++r) {
    // BMP rows run bottom row first unless the height is negative.
    uint8_t* dst = GetRow(top_down ? r : height_ - 1 - r);
    const uint8_t* src = pixels + r * source_stride;
    if (bits == 24) {
      std::memcpy(dst, src, static_cast<size_t>(width_) * 3);
    } else {
      for (int32_t x = 0; x < width_; ++x) std::memcpy(dst + x * 3, src + x * 4, 3);
    }
  }
  GdiFlush();
}

void TDibSection::MakeMask(COLORREF colour) {
  const uint8_t key[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
  GdiFlush();
  for (int32_t r = 0; r < height_; ++r) {
    uint8_t* p = GetRow(r);
    for (int32_t x = 0; x < width_; ++x, p += 3) {
      const uint8_t v = std::memcmp(p, key, 3) == 0 ? 0xFF : 0x00;
      p[0] = p[1] = p[2] = v;
    }
  }
}

}  // namespace mt
