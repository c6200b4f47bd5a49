// The 65536-entry DEM palette: the table of special heights and the grey
// colouring of counted heights by equalisation or linear stretch.
#ifndef DISPLAY_DEM_COLORS_H_
#define DISPLAY_DEM_COLORS_H_

#include "display/palette.h"

namespace mt {

// Heights are signed 16-bit; entry i is height (int16_t)i.
inline constexpr int32_t kDemEntries = 65536;
inline constexpr int32_t kNoHeight = 9999;
inline constexpr int32_t kZeroHeight = 9998;  // stands for height 0

// Replaces the palette's entries with 65536 entries, counters 0, coloured:
// 10000 and above purple, 9999 red, 9998 dark blue, any other black.
TPalette::Entries& InitDemEntries(TPalette& palette);

// Greys the heights -1000..9997 from their counters: more than 256 distinct
// counted heights are equalised, fewer are stretched linearly from black at
// the lowest to white at the highest. With no counted height the table keeps
// its initial colours. Height 0 ends dark green, 9998 dark blue.
void ColourDemEntries(TPalette::Entries& entries);

}  // namespace mt

#endif  // DISPLAY_DEM_COLORS_H_
