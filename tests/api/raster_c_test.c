/* Compiled as C: a C host creates a raster file, opens it through the exports
 * and calls every IRaster slot through lpVtbl, so that the slot order and the
 * calling convention of the C view are checked against the C++ object.
 * Returns 0, or the line of the first failed check. */
#include <stddef.h>
#include <string.h>

#include "orvoapi.h"

#define CHECK(condition)               \
  do {                                 \
    if (!(condition)) return __LINE__; \
  } while (0)

int OrvoCRasterSlots(const char* file_name) {
  IRaster* r;
  IRaster* clone;
  unsigned short v = 0x1234, back = 0, block[6] = {1, 2, 3, 4, 5, 6}, got[6];
  const unsigned short* tile;

  CHECK(CreateRaster(file_name, 20, 10, 16, 8, 2, 0));
  r = OpenRaster(file_name, 1, false);
  CHECK(r != NULL);
  CHECK(r->lpVtbl->AddRef(r) == 1);
  CHECK(r->lpVtbl->GetWidth(r) == 20);
  CHECK(r->lpVtbl->GetHeight(r) == 10);
  CHECK(r->lpVtbl->GetTileWidth(r) == 16);
  CHECK(r->lpVtbl->GetTileHeight(r) == 8);
  CHECK(r->lpVtbl->GetPixelSize(r) == 2);
  CHECK(r->lpVtbl->GetFileSize(r) == 264 + 4 * 16 * 8 * 2);
  CHECK(r->lpVtbl->SetPixel(r, 17, 9, &v));
  CHECK(r->lpVtbl->GetPixel(r, 17, 9, &back) && back == 0x1234);
  CHECK(!r->lpVtbl->GetPixel(r, 20, 0, &back));
  CHECK(r->lpVtbl->SetPixelBlock(r, 14, 3, 3, 2, block));
  memset(got, 0, sizeof(got));
  CHECK(r->lpVtbl->GetPixelBlock(r, 14, 3, 3, 2, got));
  CHECK(memcmp(got, block, sizeof(got)) == 0);
  tile = (const unsigned short*)r->lpVtbl->GetTile(r, 1, 1);
  CHECK(tile != NULL && tile[1 * 16 + 1] == 0x1234);
  CHECK(r->lpVtbl->GetTile(r, 2, 0) == NULL);
  clone = r->lpVtbl->Clone(r, true);
  CHECK(clone != NULL);
  CHECK(clone->lpVtbl->GetPixel(clone, 16, 4, &back) && back == 6);
  CHECK(!clone->lpVtbl->SetPixel(clone, 15, 4, &v));
  CHECK(clone->lpVtbl->Release(clone) == 0);
  CHECK(r->lpVtbl->AddRef(r) == 2);
  CHECK(r->lpVtbl->Release(r) == 1);
  CHECK(r->lpVtbl->Release(r) == 0);
  return 0;
}

/* The raster of OrvoCRasterSlots with a transform: pixel (c, r) at map
 * (10c + 5, 95 - 10r). */
int OrvoCTransformedRasterSlots(const char* file_name, const char* corners_name) {
  const BOUND bound = {0, 0, 200, 100};
  const double pixel[2] = {17, 9};
  double map[2];
  unsigned short v = 0;
  ITransformedRaster* t;
  ITransformedRaster* clone;

  CHECK(WriteRasterBound(corners_name, 20, 10, &bound));
  t = OpenTransformedRaster(file_name, false, false);
  CHECK(t != NULL);
  CHECK(t->lpVtbl->AddRef(t) == 1);
  CHECK(t->lpVtbl->GetWidth(t) == 20 && t->lpVtbl->GetHeight(t) == 10);
  CHECK(t->lpVtbl->GetTileWidth(t) == 16 && t->lpVtbl->GetTileHeight(t) == 8);
  CHECK(t->lpVtbl->GetPixelSize(t) == 2 && t->lpVtbl->GetFileSize(t) == 264 + 4 * 16 * 8 * 2);
  CHECK(t->lpVtbl->GetPixel(t, 17, 9, &v) && v == 0x1234);
  CHECK(t->lpVtbl->SetPixel(t, 0, 0, &v));
  CHECK(t->lpVtbl->GetPixelBlock(t, 0, 0, 1, 1, &v) && v == 0x1234);
  CHECK(t->lpVtbl->SetPixelBlock(t, 1, 0, 1, 1, &v));
  CHECK(t->lpVtbl->GetTile(t, 0, 0) != NULL);
  CHECK(t->lpVtbl->HasTransform(t));
  CHECK(t->lpVtbl->PixelToMap(t, map, pixel, 1));
  CHECK(map[0] > 174.999 && map[0] < 175.001 && map[1] > 4.999 && map[1] < 5.001);
  CHECK(t->lpVtbl->MapToPixel(t, map, map, 1));
  CHECK(map[0] > 16.999 && map[0] < 17.001 && map[1] > 8.999 && map[1] < 9.001);
  CHECK(t->lpVtbl->LoadTransform(t));
  clone = t->lpVtbl->Clone(t, true);
  CHECK(clone != NULL && clone->lpVtbl->HasTransform(clone));
  CHECK(!clone->lpVtbl->SetPixel(clone, 0, 0, &v));
  CHECK(clone->lpVtbl->Release(clone) == 0);
  CHECK(t->lpVtbl->Release(t) == 0);
  return 0;
}
