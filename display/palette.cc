// TPalette's entries and the conversion of pixel values to DIB pixels.
#include "display/palette.h"

#include <cstring>

#include "base/errors.h"

namespace mt {

TPalette::TPalette(int32_t count) {
  if (count < 0 || count > kMaxPaletteEntries) orvo::Raise(kCantCreatePalette);
  Entries& entries = ResetEntries(count);
  if (count > 0) std::memset(entries.Data(), 0, static_cast<size_t>(count) * sizeof(RGBHISTO));
}

TPalette::Entries& TPalette::ResetEntries(int32_t count) {
  // Old entries keep their storage when it is big enough (the capacity rule
  // of TArray decides the rest).
  if (entries_ == nullptr) entries_ = std::make_unique<Entries>();
  entries_->Resize(count);
  return *entries_;
}

namespace {

template <class Value>
void Convert(uint8_t* dst, const Value* src, int32_t n, const TPalette::RGBHISTO* entries,
             int64_t count) {
  // Values that cannot reach past the table need no remainder.
  const bool direct = count > static_cast<int64_t>(static_cast<Value>(~Value{0}));
  for (int32_t i = 0; i < n; ++i, dst += 3) {
    const int64_t v = src[i];
    const TPalette::RGBHISTO& e = entries[direct ? v : v % count];
    dst[0] = e.blue;
    dst[1] = e.green;
    dst[2] = e.red;
  }
}

}  // namespace

int32_t ORVO_STDCALL TPalette::Pixels2Dib(void* dst, const void* src, int32_t format,
                                          int32_t count) {
  // No entries means no colour to give: nothing is written (a remainder by
  // zero is no answer).
  if (entries_ == nullptr || dst == nullptr || src == nullptr || count < 0) return 0;
  auto* out = static_cast<uint8_t*>(dst);
  const int64_t entries = entries_->Count();
  switch (format) {
    case 1:
      if (entries == 0) return 0;
      Convert(out, static_cast<const uint8_t*>(src), count, entries_->Data(), entries);
      return count;
    case 2:
      if (entries == 0) return 0;
      Convert(out, static_cast<const uint16_t*>(src), count, entries_->Data(), entries);
      return count;
    case 3:
      std::memcpy(out, src, static_cast<size_t>(count) * 3);
      return count;
    default:
      return 0;
  }
}

int32_t ORVO_STDCALL TPalette::GetCount() { return entries_ == nullptr ? 0 : entries_->Count(); }

bool ORVO_STDCALL TPalette::SetColor(int32_t index, const uint8_t* rgb) {
  if (rgb == nullptr || index < 0 || index >= GetCount()) return false;
  RGBHISTO& e = (*entries_)[index];
  e.red = rgb[0];
  e.green = rgb[1];
  e.blue = rgb[2];
  return true;
}

bool ORVO_STDCALL TPalette::GetColor(uint8_t* rgb, int32_t index) {
  if (rgb == nullptr || index < 0 || index >= GetCount()) return false;
  const RGBHISTO& e = (*entries_)[index];
  rgb[0] = e.red;
  rgb[1] = e.green;
  rgb[2] = e.blue;
  return true;
}

}  // namespace mt
