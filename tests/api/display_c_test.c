/* Compiled as C: a C host builds a palette, calls every IPalette slot through
 * lpVtbl and draws through an image device context, so that the slot order,
 * the calling convention and the GDI types of the C view are checked.
 * Returns 0, or the line of the first failed check. */
#include <stddef.h>
#include <string.h>

#include "orvoapi.h"

#define CHECK(condition)               \
  do {                                 \
    if (!(condition)) return __LINE__; \
  } while (0)

int OrvoCPaletteSlots(void) {
  const uint8_t rgb[6] = {10, 20, 30, 40, 50, 60};
  const uint8_t white[3] = {255, 255, 255};
  const uint16_t values[2] = {1, 2};
  uint8_t got[3], dib[6];
  IPalette* p = BuildPaletteRgb(rgb, 2);
  CHECK(p != NULL);
  CHECK(p->lpVtbl->AddRef(p) == 1);
  CHECK(p->lpVtbl->GetCount(p) == 2);
  CHECK(p->lpVtbl->GetColor(p, got, 1) && got[0] == 40 && got[2] == 60);
  CHECK(p->lpVtbl->SetColor(p, 0, white));
  CHECK(!p->lpVtbl->SetColor(p, 2, white));
  CHECK(p->lpVtbl->Pixels2Dib(p, dib, values, 2, 2) == 2);
  CHECK(dib[0] == 60 && dib[1] == 50 && dib[2] == 40 && dib[3] == 255);
  CHECK(p->lpVtbl->Release(p) == 0);
  return 0;
}

int OrvoCImageDc(void) {
  int32_t width = 0, height = 0, stride = 0;
  const uint8_t* bits;
  HDC dc = CreateImageDC(2, 3);
  CHECK(dc != NULL);
  bits = (const uint8_t*)GetImageBitsDC(dc, &width, &height, &stride);
  CHECK(bits != NULL && width == 2 && height == 3 && stride == 8 && bits[5] == 255);
  CHECK(sizeof(COLORREF) == 4);
#ifndef _WIN32
  CHECK(sizeof(LOGFONTA) == 60 && sizeof(POINT) == 8);
#endif
  CHECK(FreeImageDC(dc));
  return 0;
}
