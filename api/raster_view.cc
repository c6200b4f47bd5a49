// Raster view exports. Guarded: null or false on any failure.
#include "display/raster_view.h"

#include "api/guard.h"
#include "orvoapi.h"

extern "C" {

ORVO_API IRasterView* ORVO_CDECL OpenRasterView(const char* path) {
  return orvo::Guarded<IRasterView*>(nullptr, [&] { return new mt::TRasterView(path); });
}

ORVO_API bool ORVO_CDECL IsRasterPreviewPresent(const char* path) {
  return orvo::Guarded<bool>(false, [&] { return mt::RasterPreviewPresent(path); });
}

}  // extern "C"
