// Coordinate array export. Guarded: null on any failure.
#include "api/guard.h"
#include "orvoapi.h"
#include "transform/transform_factory.h"

extern "C" {

ORVO_API ICoords* ORVO_CDECL CreateCoords(const char* file_name, int32_t dimension) {
  return orvo::Guarded<ICoords*>(nullptr, [&] { return orvo::NewCoords(file_name, dimension); });
}

}  // extern "C"
