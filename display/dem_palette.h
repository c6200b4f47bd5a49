// TDemPalette: the 65536-entry DEM palette with caller-chosen height limits
// and colours for the heights outside them and for the special values.
#ifndef DISPLAY_DEM_PALETTE_H_
#define DISPLAY_DEM_PALETTE_H_

#include <cstdint>

#include "display/palette.h"
#include "orvoapi.h"

namespace mt {

// Colour triples (red, green, blue) of a DEM palette, with their defaults.
struct DemColours {
  uint8_t below[3] = {0, 0, 0};        // -32767 .. low - 1
  uint8_t above[3] = {255, 255, 255};  // high + 1 .. 9997
  uint8_t c9998[3] = {0, 0, 255};
  uint8_t zero[3] = {0, 255, 0};
  uint8_t c9999[3] = {255, 0, 0};
  uint8_t over[3] = {128, 0, 255};  // 10000 .. 32767
};

// Takes each colour that is not null over its default.
DemColours ChooseDemColours(const uint8_t* below, const uint8_t* above, const uint8_t* c9998,
                            const uint8_t* zero, const uint8_t* c9999, const uint8_t* over);

class TDemPalette : public TPalette {
 public:
  // The entry table: heights outside low..high and the special values in
  // their colours, low..high black, entry 0 the zero colour.
  TDemPalette(int16_t low, int16_t high, const DemColours& colours);

  // Greys low..high from the histogram's counts (null: every value counts
  // once): a linear stretch for at most 256 counted heights over a range of
  // at most 384, and whenever nothing but 0 was counted; else equalisation.
  // The special values keep their colours, entry 0 takes the zero colour.
  void GreyLimits(IDemHistogramm* histogram);

  // 2-byte pixels only; another format writes nothing and gives 0.
  int32_t ORVO_STDCALL Pixels2Dib(void* dst, const void* src, int32_t format,
                                  int32_t count) override;

 private:
  void PaintSpecials();

  int16_t low_, high_;
  DemColours colours_;
};

}  // namespace mt

#endif  // DISPLAY_DEM_PALETTE_H_
