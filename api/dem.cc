// DEM access: every export is guarded. OpenDem gives null on any failure,
// the height queries 9999.0, CloseDem does nothing for null.
#include "raster/dem.h"

#include "api/guard.h"
#include "orvoapi.h"

extern "C" {

ITransformedRaster* OpenDem(const char* file_name) { return orvo::OpenDemRaster(file_name); }

double DemHeight(ITransformedRaster* dem, double x, double y) {
  return orvo::DemHeightAt(dem, x, y, /*wrap=*/false);
}

double WrappedDemHeight(ITransformedRaster* dem, double x, double y) {
  return orvo::DemHeightAt(dem, x, y, /*wrap=*/true);
}

void CloseDem(ITransformedRaster* dem) {
  if (dem == nullptr) return;
  orvo::GuardedVoid([&] { dem->Release(); });
}

}  // extern "C"
