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

/* A 2-byte raster of 4 x 2 pixels with pixel (x, y) = 10 * y + x at path:
 * every IRasterView slot, then every IDemHistogramm slot over its window. */
int OrvoCViewAndHistogramSlots(const char* path, const char* histogram_path) {
  const uint16_t* px;
  const SHORTHISTORECORD* records;
  const uint16_t values[3] = {7, 7, 9999};
  IDemHistogramm* h;
  IPalette* p;
  HDC dc = CreateImageDC(4, 2);
  IRasterView* v = OpenRasterView(path);
  CHECK(dc != NULL && v != NULL);
  CHECK(v->lpVtbl->AddRef(v) == 1);
  CHECK(v->lpVtbl->GetWidth(v) == 4 && v->lpVtbl->GetHeight(v) == 2);
  CHECK(v->lpVtbl->GetPixelSize(v) == 2);
  CHECK(v->lpVtbl->Prepare(v, dc, 3, 2, 2, 0, 1));
  CHECK(v->lpVtbl->GetBufferSize(v) == 12);
  px = (const uint16_t*)v->lpVtbl->GetBuffer(v);
  CHECK(px[0] == 2 && px[1] == 3 && px[2] == 9999 && px[3] == 12);
  CHECK(v->lpVtbl->Draw(v, dc, 0, 0, NULL, 0x00CC0020u /* SRCCOPY */));
  CHECK(v->lpVtbl->Render(v, dc, 0, 0, 4, 2, 0, 0, 1, NULL, 0x00CC0020u /* SRCCOPY */));

  h = CreateDemHistogramm();
  CHECK(h != NULL);
  CHECK(h->lpVtbl->AddRef(h) == 1);
  CHECK(h->lpVtbl->BuildFromView(h, v, 4, 2, 0, 0, 1));
  CHECK(h->lpVtbl->GetMinHeight(h) == 0 && h->lpVtbl->GetMaxHeight(h) == 13);
  CHECK(h->lpVtbl->GetRecordCount(h) == 8);
  CHECK(h->lpVtbl->Save(h, histogram_path));
  CHECK(h->lpVtbl->BuildFromValues(h, values, 3));
  records = h->lpVtbl->GetRecords(h);
  CHECK(h->lpVtbl->GetRecordCount(h) == 2 && records[0].value == 7 && records[0].count == 2);
  CHECK(h->lpVtbl->Load(h, histogram_path) && h->lpVtbl->GetRecordCount(h) == 8);
  p = DemHisto2LimitedPalette(h, 0, NULL, 13, NULL, NULL, NULL, NULL, NULL);
  CHECK(p != NULL && p->lpVtbl->GetCount(p) == 65536);
  CHECK(p->lpVtbl->Release(p) == 0);
  CHECK(h->lpVtbl->Release(h) == 0);
  CHECK(v->lpVtbl->Release(v) == 0);
  CHECK(FreeImageDC(dc));
  return 0;
}

/* A sign library at path whose first sign is 3 x 2 pixels, hot spot (1, 1),
 * with a red pixel at (1, 0): every IPgm slot. */
int OrvoCPgmSlots(const char* path) {
  const uint8_t* bits;
  int32_t stride = 0;
  HDC dc = CreateImageDC(3, 2);
  IPgm* p = OpenPgm(path);
  CHECK(dc != NULL && p != NULL);
  CHECK(p->lpVtbl->AddRef(p) == 1);
  CHECK(p->lpVtbl->GetSignCount(p) == 2);
  CHECK(p->lpVtbl->GetSignWidth(p, 0) == 3 && p->lpVtbl->GetSignWidth(p, 5) == 0);
  CHECK(p->lpVtbl->RecolorSign(p, 0, 0x000000FFu, 0x00FF0000u)); /* red to blue */
  CHECK(p->lpVtbl->DrawSign(p, dc, 1, 1, 0));
  CHECK(!p->lpVtbl->DrawSign(p, dc, 1, 1, -1));
  bits = (const uint8_t*)GetImageBitsDC(dc, NULL, NULL, &stride);
  CHECK(bits != NULL && bits[3] == 0xFF && bits[4] == 0 && bits[5] == 0);
  CHECK(p->lpVtbl->UnloadSign(p, 0) && !p->lpVtbl->UnloadSign(p, 2));
  CHECK(p->lpVtbl->Release(p) == 0);
  CHECK(FreeImageDC(dc));
  return 0;
}
