/* Compiled as C: the tile set raster's slots 15 (GetBound) and 16 (SaveTile)
 * reached through the C view of ITaRaster. Returns 0, or the line of the
 * first failed check. */
#include "orvoapi.h"

#define CHECK(condition)               \
  do {                                 \
    if (!(condition)) return __LINE__; \
  } while (0)

int OrvoCTaRasterSlots(const char* list_name) {
  ITaRaster* r = (ITaRaster*)OpenTawsesRaster(list_name, false);
  BOUND b;
  short v = 17, back = 0;
  CHECK(r != NULL);
  CHECK(r->lpVtbl->GetWidth(r) == 8);
  CHECK(r->lpVtbl->SetPixel(r, 1, 1, &v));
  r->lpVtbl->Reserved(r);
  CHECK(r->lpVtbl->GetBound(r, &b) && b.minx == 30 && b.maxy == 61);
  CHECK(!r->lpVtbl->GetBound(r, NULL));
  CHECK(r->lpVtbl->SaveTile(r));
  CHECK(r->lpVtbl->GetPixel(r, 1, 1, &back) && back == 17);
  CHECK(r->lpVtbl->Release(r) == 0);
  return 0;
}
