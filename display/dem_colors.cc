// DEM palette colouring.
#include "display/dem_colors.h"

#include <cstdint>

namespace mt {
namespace {

constexpr int32_t kLowest = -1000;  // heights below take no part
constexpr int32_t kHighest = 9997;  // nor do 9998 and above
constexpr int32_t kMaxRamp = 256;   // distinct heights a linear ramp serves

TPalette::RGBHISTO& At(TPalette::Entries& entries, int32_t h) {
  return entries[static_cast<int32_t>(static_cast<uint16_t>(static_cast<int16_t>(h)))];
}

void Paint(TPalette::RGBHISTO& e, uint8_t red, uint8_t green, uint8_t blue) {
  e.red = red;
  e.green = green;
  e.blue = blue;
}

// cum * 255 / total without overflow; both are at least 0 and cum <= total.
uint8_t Share(int64_t cum, int64_t total) {
  if (cum <= INT64_MAX / 255) return static_cast<uint8_t>(cum * 255 / total);
  return static_cast<uint8_t>(static_cast<long double>(cum) * 255 / total);
}

}  // namespace

TPalette::Entries& InitDemEntries(TPalette& palette) {
  TPalette::Entries& entries = palette.ResetEntries(kDemEntries);
  for (int32_t i = 0; i < kDemEntries; ++i) {
    TPalette::RGBHISTO& e = entries[i];
    e.counter = 0;
    const int32_t h = static_cast<int16_t>(static_cast<uint16_t>(i));
    if (h >= 10000) {
      Paint(e, 128, 0, 128);
    } else if (h == kNoHeight) {
      Paint(e, 255, 0, 0);
    } else if (h == kZeroHeight) {
      Paint(e, 0, 0, 128);
    } else {
      Paint(e, 0, 0, 0);
    }
  }
  return entries;
}

void ColourDemEntries(TPalette::Entries& entries) {
  int32_t distinct = 0, min_h = 0, max_h = 0;
  int64_t total = 0;
  for (int32_t h = kLowest; h <= kHighest; ++h) {
    // Counters come from files too: a negative one counts as none.
    const int64_t c = At(entries, h).counter;
    if (c <= 0) continue;
    if (distinct++ == 0) min_h = h;
    max_h = h;
    if (h != 0) total = c > INT64_MAX - total ? INT64_MAX : total + c;
  }
  if (distinct > 0) {
    for (int32_t i = 0; i < kDemEntries - 1; ++i) {
      const int32_t h = static_cast<int16_t>(static_cast<uint16_t>(i));
      if (h <= min_h) {
        Paint(entries[i], 0, 0, 0);
      } else if (h >= kZeroHeight) {
        Paint(entries[i], 255, 0, 0);
      } else {
        Paint(entries[i], 255, 255, 255);
      }
    }
    if (distinct > kMaxRamp && total > 0) {
      // Each height gets the share of counted pixels strictly below it.
      int64_t cum = 0;
      for (int32_t h = min_h; h <= max_h; ++h) {
        if (h == 0) continue;
        TPalette::RGBHISTO& e = At(entries, h);
        const uint8_t grey = Share(cum, total);
        Paint(e, grey, grey, grey);
        if (e.counter > 0) cum = e.counter > total - cum ? total : cum + e.counter;
      }
    } else if (min_h != max_h) {
      for (int32_t h = min_h; h <= max_h; ++h) {
        const auto grey = static_cast<uint8_t>((h - min_h) * 255 / (max_h - min_h));
        Paint(At(entries, h), grey, grey, grey);
      }
    }
  }
  Paint(At(entries, 0), 0, 128, 0);
  Paint(At(entries, kZeroHeight), 0, 0, 128);
}

}  // namespace mt
