// Palette exports. All guarded: null or false on any failure; a palette that
// fails half-way through its making is released.
#include "display/palette.h"

#include "api/guard.h"
#include "base/holders.h"
#include "display/dem_colors.h"
#include "display/palette_file.h"
#include "orvoapi.h"

namespace {

// Runs fill on a fresh palette and hands it out, or releases it on failure.
template <class Fill>
IPalette* MakePalette(Fill&& fill) {
  return orvo::Guarded<IPalette*>(nullptr, [&]() -> IPalette* {
    orvo::TAutoRelease<mt::TPalette> palette(new mt::TPalette());
    fill(*palette.Get());
    return palette.Detach();
  });
}

}  // namespace

extern "C" {

ORVO_API IPalette* ORVO_CDECL BuildPaletteRgb(const uint8_t* rgb, int32_t count) {
  return MakePalette([&](mt::TPalette& palette) {
    mt::TPalette built(count);  // checks the count
    mt::TPalette::Entries& entries = palette.ResetEntries(count);
    for (int32_t i = 0; i < count; ++i) {
      entries[i] = {0, 0, 0, 0};
      if (rgb != nullptr) entries[i] = {0, rgb[3 * i + 2], rgb[3 * i + 1], rgb[3 * i]};
    }
  });
}

ORVO_API IPalette* ORVO_CDECL LoadPalette(const char* path) {
  return MakePalette([&](mt::TPalette& palette) { mt::LoadPaletteFile(path, palette); });
}

ORVO_API IPalette* ORVO_CDECL DemHistogramm2Palette(const char* path) {
  return MakePalette([&](mt::TPalette& palette) { mt::LoadPaletteFile(path, palette); });
}

ORVO_API IPalette* ORVO_CDECL DemValues2Palette(const uint16_t* values, int32_t count) {
  return MakePalette([&](mt::TPalette& palette) {
    if (count < 0 || (values == nullptr && count > 0)) throw mt::kCantCreatePalette;
    mt::TPalette::Entries& entries = mt::InitDemEntries(palette);
    for (int32_t i = 0; i < count; ++i) ++entries[values[i]].counter;
    mt::ColourDemEntries(entries);
  });
}

ORVO_API bool ORVO_CDECL SavePalette(const char* path, IPalette* palette) {
  return orvo::Guarded<bool>(false, [&] { return mt::SavePaletteFile(path, palette); });
}

ORVO_API bool ORVO_CDECL SavePaletteRgb(const char* path, const uint8_t* rgb, int32_t count) {
  return orvo::Guarded<bool>(false, [&] { return mt::SavePaletteRgbFile(path, rgb, count); });
}

}  // extern "C"
