/* Compiled as C: the header is valid C, and a C host calls every interface slot
 * through lpVtbl, checking slot order, calling convention and the GDI types of
 * the C view. Each Orvo... function returns 0 or the line of its first failed
 * check. */
#include <stddef.h>
#include <string.h>

#include "orvoapi.h"

#define CHECK(condition)               \
  do {                                 \
    if (!(condition)) return __LINE__; \
  } while (0)

int32_t OrvoCAddRef(IApiObject* object) { return object->lpVtbl->AddRef(object); }

int32_t OrvoCRelease(IApiObject* object) { return object->lpVtbl->Release(object); }

int OrvoCBoundSize(void) { return (int)sizeof(BOUND); }

/* Every ICoords and ITransform slot. */
int OrvoCTransformSlots(const char* file_name) {
  /* (0,0)->(100,200), (1,0)->(110,200), (0,1)->(100,190): X = 10x + 100,
   * Y = -10y + 200. Columns: map x, map y, column, row. */
  const double p0[4] = {100, 200, 0, 0}, p1[4] = {110, 200, 1, 0}, p2[4] = {100, 190, 0, 1};
  const double target[6] = {100, 200, 110, 200, 100, 190}, source[6] = {0, 0, 1, 0, 0, 1};
  const double line[6] = {0, 0, 1, 1, 2, 2};
  const double pixel[2] = {2.5, -4};
  double out[2] = {0, 0};
  ICoords* c = CreateCoords(NULL, 4);
  ITransform* t;
  ITransform* clone;
  ITransform* orto;

  CHECK(c != NULL && c->lpVtbl->AddRef(c) == 1 && c->lpVtbl->AddPoint(c, p0) == 0);
  CHECK(c->lpVtbl->AddPoint(c, p1) == 1 && c->lpVtbl->AddPoint(c, p2) == 2);
  CHECK(c->lpVtbl->GetCount(c) == 3 && c->lpVtbl->GetDimension(c) == 4);
  CHECK(c->lpVtbl->GetValue(c, 1, 0) == 110.0 && c->lpVtbl->GetPoint(c, 2)[1] == 190.0);
  CHECK(c->lpVtbl->Save(c, file_name));
  CHECK(c->lpVtbl->DeletePoint(c, 0) && c->lpVtbl->GetCount(c) == 2);
  c->lpVtbl->Clear(c);
  CHECK(c->lpVtbl->GetCount(c) == 0);
  CHECK(c->lpVtbl->Load(c, file_name) && c->lpVtbl->GetCount(c) == 3);

  t = CreateAffineTransformFromCooords(c);
  CHECK(t != NULL && c->lpVtbl->Release(c) == 0 && t->lpVtbl->AddRef(t) == 1);
  CHECK(t->lpVtbl->IsValid(t) && t->lpVtbl->Transform(t, out, pixel, 1));
  CHECK(out[0] == 125.0 && out[1] == 240.0 && t->lpVtbl->InverseTransform(t, out, out, 1));
  CHECK(out[0] == 2.5 && out[1] == -4.0);
  CHECK(!t->lpVtbl->Reserved1(t, 0) && !t->lpVtbl->Reserved2(t, 7));
  clone = t->lpVtbl->Clone(t);
  CHECK(clone != NULL && t->lpVtbl->Release(t) == 0);
  CHECK(clone->lpVtbl->Compute(clone, target, source, 3) && clone->lpVtbl->IsValid(clone));
  CHECK(clone->lpVtbl->Release(clone) == 0);

  t = LoadAffineTransform(file_name);
  CHECK(t != NULL && t->lpVtbl->Release(t) == 0 && LoadAffineTransformGeo(NULL) == NULL);
  CHECK(CreateAffineTransform(target, line, 3) == NULL);
  orto = CreateOrtoTransform(target, source, 3);
  CHECK(orto != NULL && orto->lpVtbl->Release(orto) == 0);
  orto = LoadOrtoTransform(file_name);
  CHECK(orto != NULL && orto->lpVtbl->Transform(orto, out, pixel, 1));
  CHECK(orto->lpVtbl->InverseTransform(orto, out, out, 1) && orto->lpVtbl->Release(orto) == 0);
  return 0;
}

/* Creates a raster file, opens it through the exports and calls every IRaster
 * slot; then, with a transform (pixel (c, r) at map (10c + 5, 95 - 10r)),
 * every ITransformedRaster slot. */
int OrvoCRasterSlots(const char* file_name, const char* corners_name) {
  const BOUND bound = {0, 0, 200, 100};
  const double pixel[2] = {17, 9};
  double map[2];
  IRaster* r;
  IRaster* clone;
  ITransformedRaster* t;
  ITransformedRaster* t_clone;
  unsigned short v = 0x1234, back = 0, block[6] = {1, 2, 3, 4, 5, 6}, got[6];
  const unsigned short* tile;

  CHECK(CreateRaster(file_name, 20, 10, 16, 8, 2, 0));
  r = OpenRaster(file_name, 1, false);
  CHECK(r != NULL && r->lpVtbl->AddRef(r) == 1);
  CHECK(r->lpVtbl->GetWidth(r) == 20 && r->lpVtbl->GetHeight(r) == 10);
  CHECK(r->lpVtbl->GetTileWidth(r) == 16 && r->lpVtbl->GetTileHeight(r) == 8);
  CHECK(r->lpVtbl->GetPixelSize(r) == 2 && r->lpVtbl->GetFileSize(r) == 264 + 4 * 16 * 8 * 2);
  CHECK(r->lpVtbl->SetPixel(r, 17, 9, &v));
  CHECK(r->lpVtbl->GetPixel(r, 17, 9, &back) && back == 0x1234);
  CHECK(r->lpVtbl->SetPixelBlock(r, 14, 3, 3, 2, block));
  memset(got, 0, sizeof(got));
  CHECK(r->lpVtbl->GetPixelBlock(r, 14, 3, 3, 2, got) && memcmp(got, block, sizeof(got)) == 0);
  tile = (const unsigned short*)r->lpVtbl->GetTile(r, 1, 1);
  CHECK(tile != NULL && tile[1 * 16 + 1] == 0x1234);
  clone = r->lpVtbl->Clone(r, true);
  CHECK(clone != NULL && clone->lpVtbl->GetPixel(clone, 16, 4, &back) && back == 6);
  CHECK(clone->lpVtbl->Release(clone) == 0 && r->lpVtbl->Release(r) == 0);

  v = 0;
  CHECK(WriteRasterBound(corners_name, 20, 10, &bound));
  t = OpenTransformedRaster(file_name, false, false);
  CHECK(t != NULL && t->lpVtbl->AddRef(t) == 1);
  CHECK(t->lpVtbl->GetWidth(t) == 20 && t->lpVtbl->GetHeight(t) == 10);
  CHECK(t->lpVtbl->GetTileWidth(t) == 16 && t->lpVtbl->GetTileHeight(t) == 8);
  CHECK(t->lpVtbl->GetPixelSize(t) == 2 && t->lpVtbl->GetFileSize(t) == 264 + 4 * 16 * 8 * 2);
  CHECK(t->lpVtbl->GetPixel(t, 17, 9, &v) && v == 0x1234 && t->lpVtbl->SetPixel(t, 0, 0, &v));
  CHECK(t->lpVtbl->GetPixelBlock(t, 0, 0, 1, 1, &v) && v == 0x1234);
  CHECK(t->lpVtbl->SetPixelBlock(t, 1, 0, 1, 1, &v) && t->lpVtbl->GetTile(t, 0, 0) != NULL);
  CHECK(t->lpVtbl->HasTransform(t) && t->lpVtbl->PixelToMap(t, map, pixel, 1));
  CHECK(map[0] > 174.999 && map[0] < 175.001 && map[1] > 4.999 && map[1] < 5.001);
  CHECK(t->lpVtbl->MapToPixel(t, map, map, 1));
  CHECK(map[0] > 16.999 && map[0] < 17.001 && map[1] > 8.999 && map[1] < 9.001);
  CHECK(t->lpVtbl->LoadTransform(t));
  t_clone = t->lpVtbl->Clone(t, true);
  CHECK(t_clone != NULL && t_clone->lpVtbl->HasTransform(t_clone) &&
        t_clone->lpVtbl->Release(t_clone) == 0);
  CHECK(t->lpVtbl->Release(t) == 0);
  return 0;
}

/* Builds a palette, calls every IPalette slot, and reads an image device
 * context's bits. */
int OrvoCPaletteSlotsAndImageDc(void) {
  const uint8_t rgb[6] = {10, 20, 30, 40, 50, 60};
  const uint8_t white[3] = {255, 255, 255};
  const uint16_t values[2] = {1, 2};
  uint8_t got[3], dib[6];
  int32_t width = 0, height = 0, stride = 0;
  const uint8_t* bits;
  HDC dc = CreateImageDC(2, 3);
  IPalette* p = BuildPaletteRgb(rgb, 2);
  CHECK(p != NULL && p->lpVtbl->AddRef(p) == 1 && p->lpVtbl->GetCount(p) == 2);
  CHECK(p->lpVtbl->GetColor(p, got, 1) && got[0] == 40 && got[2] == 60);
  CHECK(p->lpVtbl->SetColor(p, 0, white) && p->lpVtbl->Pixels2Dib(p, dib, values, 2, 2) == 2);
  CHECK(dib[0] == 60 && dib[1] == 50 && dib[2] == 40 && dib[3] == 255);
  CHECK(p->lpVtbl->Release(p) == 0);
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
  CHECK(dc != NULL && v != NULL && v->lpVtbl->AddRef(v) == 1);
  CHECK(v->lpVtbl->GetWidth(v) == 4 && v->lpVtbl->GetHeight(v) == 2 &&
        v->lpVtbl->GetPixelSize(v) == 2);
  CHECK(v->lpVtbl->Prepare(v, dc, 3, 2, 2, 0, 1) && v->lpVtbl->GetBufferSize(v) == 12);
  px = (const uint16_t*)v->lpVtbl->GetBuffer(v);
  CHECK(px[0] == 2 && px[1] == 3 && px[2] == 9999 && px[3] == 12);
  CHECK(v->lpVtbl->Draw(v, dc, 0, 0, NULL, 0x00CC0020u /* SRCCOPY */));
  CHECK(v->lpVtbl->Render(v, dc, 0, 0, 4, 2, 0, 0, 1, NULL, 0x00CC0020u /* SRCCOPY */));

  h = CreateDemHistogramm();
  CHECK(h != NULL && h->lpVtbl->AddRef(h) == 1 && h->lpVtbl->BuildFromView(h, v, 4, 2, 0, 0, 1));
  CHECK(h->lpVtbl->GetMinHeight(h) == 0 && h->lpVtbl->GetMaxHeight(h) == 13);
  CHECK(h->lpVtbl->GetRecordCount(h) == 8 && h->lpVtbl->Save(h, histogram_path));
  CHECK(h->lpVtbl->BuildFromValues(h, values, 3));
  records = h->lpVtbl->GetRecords(h);
  CHECK(h->lpVtbl->GetRecordCount(h) == 2 && records[0].value == 7 && records[0].count == 2);
  CHECK(h->lpVtbl->Load(h, histogram_path) && h->lpVtbl->GetRecordCount(h) == 8);
  p = DemHisto2LimitedPalette(h, 0, NULL, 13, NULL, NULL, NULL, NULL, NULL);
  CHECK(p != NULL && p->lpVtbl->GetCount(p) == 65536 && p->lpVtbl->Release(p) == 0);
  CHECK(h->lpVtbl->Release(h) == 0 && v->lpVtbl->Release(v) == 0 && FreeImageDC(dc));
  return 0;
}

/* A sign library at path whose first sign is 3 x 2 pixels, hot spot (1, 1),
 * with a red pixel at (1, 0): every IPgm slot. */
int OrvoCPgmSlots(const char* path) {
  const uint8_t* bits;
  int32_t stride = 0;
  HDC dc = CreateImageDC(3, 2);
  IPgm* p = OpenPgm(path);
  CHECK(dc != NULL && p != NULL && p->lpVtbl->AddRef(p) == 1 && p->lpVtbl->GetSignCount(p) == 2);
  CHECK(p->lpVtbl->GetSignWidth(p, 0) == 3 && p->lpVtbl->GetSignWidth(p, 5) == 0);
  CHECK(p->lpVtbl->RecolorSign(p, 0, 0x000000FFu, 0x00FF0000u)); /* red to blue */
  CHECK(p->lpVtbl->DrawSign(p, dc, 1, 1, 0));
  bits = (const uint8_t*)GetImageBitsDC(dc, NULL, NULL, &stride);
  CHECK(bits != NULL && bits[3] == 0xFF && bits[4] == 0 && bits[5] == 0);
  CHECK(p->lpVtbl->UnloadSign(p, 0) && !p->lpVtbl->UnloadSign(p, 2) && p->lpVtbl->Release(p) == 0);
  CHECK(FreeImageDC(dc));
  return 0;
}
