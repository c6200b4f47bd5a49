// PGM sign library export. Guarded: null on any failure.
#include "display/pgm.h"

#include "api/guard.h"
#include "orvoapi.h"

extern "C" {

ORVO_API IPgm* ORVO_CDECL OpenPgm(const char* path) {
  return orvo::Guarded<IPgm*>(nullptr, [&] { return new mt::TPgm(path); });
}

}  // extern "C"
