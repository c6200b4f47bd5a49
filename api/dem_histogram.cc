// DEM histogram and DEM palette exports. Guarded: null or false on any
// failure; a palette that fails half-way through its making is released.
#include "display/dem_histogram.h"

#include "api/guard.h"
#include "base/holders.h"
#include "display/dem_palette.h"
#include "orvoapi.h"

extern "C" {

ORVO_API bool ORVO_CDECL BuildRasterHistogramm(const char* path, IRaster* raster) {
  return orvo::Guarded<bool>(false, [&] { return mt::BuildRasterHistogramFile(path, raster); });
}

ORVO_API IDemHistogramm* ORVO_CDECL CreateDemHistogramm(void) {
  return orvo::Guarded<IDemHistogramm*>(nullptr, [] { return new mt::TDemHistogramm(); });
}

ORVO_API IPalette* ORVO_CDECL DemHisto2LimitedPalette(IDemHistogramm* histogram, int16_t low,
                                                      const uint8_t* below, int16_t high,
                                                      const uint8_t* above, const uint8_t* c9998,
                                                      const uint8_t* zero, const uint8_t* c9999,
                                                      const uint8_t* over) {
  return orvo::Guarded<IPalette*>(nullptr, [&]() -> IPalette* {
    const mt::DemColours colours = mt::ChooseDemColours(below, above, c9998, zero, c9999, over);
    if (low > high) low = high;
    orvo::TAutoRelease<mt::TDemPalette> palette(new mt::TDemPalette(low, high, colours));
    palette.Get()->GreyLimits(histogram);
    return palette.Detach();
  });
}

ORVO_API IPalette* ORVO_CDECL DemHisto2CustomPalette(IDemHistogramm* /*histogram*/, int16_t low,
                                                     int16_t high, const uint8_t* c9998,
                                                     const uint8_t* zero, const uint8_t* c9999,
                                                     const uint8_t* over, void* /*reserved1*/,
                                                     void* /*reserved2*/, void* /*reserved3*/) {
  return orvo::Guarded<IPalette*>(nullptr, [&]() -> IPalette* {
    const mt::DemColours colours = mt::ChooseDemColours(nullptr, nullptr, c9998, zero, c9999, over);
    return new mt::TDemPalette(low, high, colours);
  });
}

}  // extern "C"
