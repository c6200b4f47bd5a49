// TPgm: reading a sign library, decoding signs on first use and drawing them
// through a mask so that white stays transparent.
#include "display/pgm.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "base/errors.h"
#include "base/little_endian.h"

namespace mt {
namespace {

constexpr DWORD kSrcCopy = 0x00CC0020;
constexpr DWORD kSrcInvert = 0x00660046;
constexpr DWORD kSrcAnd = 0x008800C6;
constexpr DWORD kSrcPaint = 0x00EE0086;

// Sign head fields.
constexpr int kHotX = 0;
constexpr int kHotY = 4;
constexpr int kWidth = 8;
constexpr int kHeight = 12;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TPgm::TPgm(const char* path) {
  if (path == nullptr) orvo::Raise(orvo::kCantOpenFile);
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "rb"));
  if (file == nullptr) orvo::Raise(orvo::kCantOpenFile);
  uint8_t head[kPgmFileHeadSize];
  if (std::fread(head, 1, sizeof head, file.get()) != sizeof head) orvo::Raise(kWrongPgmFormat);
  if (std::fseek(file.get(), 0, SEEK_END) != 0) orvo::Raise(kCantReadPgmFile);
  const long length = std::ftell(file.get());
  if (length < kPgmFileHeadSize || length > INT32_MAX) orvo::Raise(kCantReadPgmFile);
  buffer_.resize(static_cast<size_t>(length));
  std::rewind(file.get());
  if (std::fread(buffer_.data(), 1, buffer_.size(), file.get()) != buffer_.size())
    orvo::Raise(kCantReadPgmFile);
  ParseRecords();
}

void TPgm::ParseRecords() {
  // Every length is checked against what is left: a record that does not fit
  // makes the file unusable rather than pointing past the buffer.
  const int64_t end = static_cast<int64_t>(buffer_.size());
  int64_t at = kPgmFileHeadSize;
  while (at < end) {
    if (end - at < 4) orvo::Raise(kWrongPgmFormat);
    const int32_t name_length = orvo::ReadLe32(&buffer_[at]);
    at += 4;
    if (name_length < 0 || name_length > end - at - 4) orvo::Raise(kWrongPgmFormat);
    const int64_t name_at = at;
    at += name_length;
    const int32_t body_length = orvo::ReadLe32(&buffer_[at]);
    at += 4;
    if (body_length < kPgmSignHeadSize || body_length > end - at) orvo::Raise(kWrongPgmFormat);
    PGMSIGN sign;
    sign.name = reinterpret_cast<const char*>(buffer_.data() + name_at);
    sign.name_length = name_length;
    sign.header = &buffer_[at];
    sign.picture = &buffer_[at] + kPgmSignHeadSize;
    sign.picture_length = body_length - (kPgmSignHeadSize - 4);
    signs_.push_back(std::move(sign));
    at += body_length;
  }
  if (signs_.empty() || signs_[0].name_length < 1 || signs_[0].name[0] != 'Z')
    orvo::Raise(kWrongPgmFormat);
}

bool TPgm::Decode(PGMSIGN& sign, HDC dc) {
  sign.image.reset();
  sign.mask.reset();
  // The picture length counts 4 bytes beyond the record (the body less the
  // 36 bytes of the head before its last field); the decoder gets exactly
  // the picture, so nothing past the record is read.
  const int64_t count = int64_t{sign.picture_length} - 4;
  if (count <= 0) return false;
  TDibSection picture(sign.picture, count, dc);
  const int32_t width = orvo::ReadLe32(sign.header + kWidth);
  const int32_t height = orvo::ReadLe32(sign.header + kHeight);
  // A head larger than its picture would ask for pixels the file never
  // holds (and a damaged one for gigabytes of them).
  if (width < 1 || height < 1 || width > picture.GetWidth() || height > picture.GetHeight())
    return false;
  auto image = std::make_unique<TDibSection>(width, height, dc);
  bool ok = BitBlt(image->GetDC(), 0, 0, width, height, picture.GetDC(), 0, 0, kSrcCopy) != FALSE;
  picture.MakeMask(sign.key_colour);
  auto mask = std::make_unique<TDibSection>(width, height, dc);
  ok = BitBlt(mask->GetDC(), 0, 0, width, height, picture.GetDC(), 0, 0, kSrcCopy) != FALSE && ok;
  // White picture pixels (white in the mask) turn black; the others stay.
  ok = BitBlt(image->GetDC(), 0, 0, width, height, mask->GetDC(), 0, 0, kSrcInvert) != FALSE && ok;
  if (!ok) return false;
  GdiFlush();
  sign.image = std::move(image);
  sign.mask = std::move(mask);
  return true;
}

bool ORVO_STDCALL TPgm::DrawSign(HDC dc, int32_t x, int32_t y, int32_t index) {
  if (!ValidIndex(index)) return false;
  try {
    PGMSIGN& sign = signs_[static_cast<size_t>(index)];
    if (sign.image == nullptr && !Decode(sign, dc)) return false;
    const int32_t width = sign.image->GetWidth();
    const int32_t height = sign.image->GetHeight();
    // A damaged hot spot may put the sign beyond the coordinate range.
    const int64_t left = int64_t{x} - orvo::ReadLe32(sign.header + kHotX);
    const int64_t top = int64_t{y} - orvo::ReadLe32(sign.header + kHotY);
    if (left < INT32_MIN || top < INT32_MIN || left + width > INT32_MAX || top + height > INT32_MAX)
      return false;
    // The mask blackens the opaque part of the destination, the image then
    // paints it; transparent pixels are white in one and black in the other.
    const auto at_x = static_cast<int32_t>(left), at_y = static_cast<int32_t>(top);
    if (!BitBlt(dc, at_x, at_y, width, height, sign.mask->GetDC(), 0, 0, kSrcAnd)) return false;
    return BitBlt(dc, at_x, at_y, width, height, sign.image->GetDC(), 0, 0, kSrcPaint) != FALSE;
  } catch (...) {
    return false;
  }
}

bool ORVO_STDCALL TPgm::RecolorSign(int32_t index, COLORREF from, COLORREF to) {
  if (!ValidIndex(index)) return false;
  try {
    PGMSIGN& sign = signs_[static_cast<size_t>(index)];
    if (sign.image == nullptr && !Decode(sign, nullptr)) return false;
    const uint8_t old_colour[3] = {GetBValue(from), GetGValue(from), GetRValue(from)};
    const uint8_t new_colour[3] = {GetBValue(to), GetGValue(to), GetRValue(to)};
    GdiFlush();
    for (int32_t r = 0; r < sign.image->GetHeight(); ++r) {
      uint8_t* pixel = sign.image->GetRow(r);
      const uint8_t* mask = sign.mask->GetRow(r);
      for (int32_t c = 0; c < sign.image->GetWidth(); ++c, pixel += 3, mask += 3) {
        if (mask[0] == 0 && pixel[0] == old_colour[0] && pixel[1] == old_colour[1] &&
            pixel[2] == old_colour[2]) {
          std::copy(new_colour, new_colour + 3, pixel);
        }
      }
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool ORVO_STDCALL TPgm::UnloadSign(int32_t index) {
  if (!ValidIndex(index)) return false;
  PGMSIGN& sign = signs_[static_cast<size_t>(index)];
  sign.image.reset();
  sign.mask.reset();
  return true;
}

int32_t ORVO_STDCALL TPgm::GetSignWidth(int32_t index) {
  return ValidIndex(index) ? orvo::ReadLe32(signs_[static_cast<size_t>(index)].header + kWidth) : 0;
}

}  // namespace mt
