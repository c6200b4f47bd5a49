// The DEM palette's entry table and the grey of the heights between its
// limits.
#include "display/dem_palette.h"

#include <cstdlib>
#include <cstring>

#include "display/dem_colors.h"

namespace mt {
namespace {

constexpr int32_t kMaxLinearHeights = 256;
constexpr int32_t kMaxLinearRange = 384;

TPalette::RGBHISTO& At(TPalette::Entries& entries, int32_t h) {
  return entries[static_cast<int32_t>(static_cast<uint16_t>(static_cast<int16_t>(h)))];
}

void Paint(TPalette::RGBHISTO& e, const uint8_t* rgb) {
  e.red = rgb[0];
  e.green = rgb[1];
  e.blue = rgb[2];
}

void PaintGrey(TPalette::RGBHISTO& e, int64_t grey) {
  const uint8_t g[3] = {static_cast<uint8_t>(grey), static_cast<uint8_t>(grey),
                        static_cast<uint8_t>(grey)};
  Paint(e, g);
}

void PaintRange(TPalette::Entries& entries, int32_t from, int32_t to, const uint8_t* rgb) {
  for (int32_t h = from; h <= to; ++h) Paint(At(entries, h), rgb);
}

void Take(uint8_t* dst, const uint8_t* src) {
  if (src != nullptr) std::memcpy(dst, src, 3);
}

}  // namespace

DemColours ChooseDemColours(const uint8_t* below, const uint8_t* above, const uint8_t* c9998,
                            const uint8_t* zero, const uint8_t* c9999, const uint8_t* over) {
  DemColours c;
  Take(c.below, below);
  Take(c.above, above);
  Take(c.c9998, c9998);
  Take(c.zero, zero);
  Take(c.c9999, c9999);
  Take(c.over, over);
  return c;
}

TDemPalette::TDemPalette(int16_t low, int16_t high, const DemColours& colours)
    : low_(low), high_(high), colours_(colours) {
  Entries& entries = ResetEntries(kDemEntries);
  std::memset(entries.Data(), 0, sizeof(RGBHISTO) * kDemEntries);
  PaintRange(entries, -32767, low_ - 1, colours_.below);  // -32768 stays black
  PaintRange(entries, high_ + 1, kZeroHeight - 1, colours_.above);
  PaintSpecials();
}

void TDemPalette::PaintSpecials() {
  Entries& entries = *this->entries();
  Paint(At(entries, kZeroHeight), colours_.c9998);
  Paint(At(entries, kNoHeight), colours_.c9999);
  PaintRange(entries, kNoHeight + 1, 32767, colours_.over);
  Paint(At(entries, 0), colours_.zero);
}

void TDemPalette::GreyLimits(IDemHistogramm* histogram) {
  Entries& entries = *this->entries();
  if (histogram != nullptr) {
    const SHORTHISTORECORD* records = histogram->GetRecords();
    const int32_t n = records == nullptr ? 0 : histogram->GetRecordCount();
    for (int32_t i = 0; i < n; ++i) entries[records[i].value].counter = records[i].count;
  } else {
    for (int32_t i = 0; i < kDemEntries - 1; ++i) entries[i].counter = 1;
  }
  // Counters may come from files: a negative one counts as none, and sums
  // stop at the largest value instead of wrapping.
  int32_t distinct = 0;
  int64_t total = 0;
  for (int32_t h = low_; h <= high_; ++h) {
    const int64_t c = At(entries, h).counter;
    if (c <= 0) continue;
    ++distinct;
    if (h != 0) total = c > INT64_MAX - total ? INT64_MAX : total + c;
  }
  if ((distinct <= kMaxLinearHeights && std::abs(high_ - low_) <= kMaxLinearRange) || total == 0) {
    for (int32_t h = low_; h <= high_; ++h)
      PaintGrey(At(entries, h), low_ == high_ ? 0 : (h - low_) * 255 / (high_ - low_));
  } else {
    // Each height gets the share of counted pixels strictly below it.
    int64_t cum = 0;
    for (int32_t h = low_; h <= high_; ++h) {
      if (h == 0) continue;
      RGBHISTO& e = At(entries, h);
      const int64_t grey = cum <= INT64_MAX / 255
                               ? cum * 255 / total
                               : static_cast<int64_t>(static_cast<long double>(cum) * 255 / total);
      PaintGrey(e, grey);
      if (e.counter > 0) cum = e.counter > total - cum ? total : cum + e.counter;
    }
  }
  PaintSpecials();
}

int32_t ORVO_STDCALL TDemPalette::Pixels2Dib(void* dst, const void* src, int32_t format,
                                             int32_t count) {
  if (format != 2 || dst == nullptr || src == nullptr || count < 0) return 0;
  const RGBHISTO* table = entries()->Data();
  auto* out = static_cast<uint8_t*>(dst);
  const auto* in = static_cast<const uint8_t*>(src);
  for (int32_t i = 0; i < count; ++i, out += 3, in += 2) {
    uint16_t v;
    std::memcpy(&v, in, 2);
    const RGBHISTO& e = table[v];
    out[0] = e.blue;
    out[1] = e.green;
    out[2] = e.red;
  }
  return count;
}

}  // namespace mt
