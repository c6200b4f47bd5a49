/* Compiled as C: a C host makes a coordinate array and transforms through the
 * exports and calls every ICoords and ITransform slot through lpVtbl, so that
 * the slot order and the calling convention of the C view are checked against
 * the C++ implementation. Returns 0, or the line of the first failed check. */
#include <stddef.h>

#include "orvoapi.h"

#define CHECK(condition)               \
  do {                                 \
    if (!(condition)) return __LINE__; \
  } while (0)

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

  CHECK(c != NULL);
  CHECK(c->lpVtbl->AddRef(c) == 1);
  CHECK(c->lpVtbl->AddPoint(c, p0) == 0);
  CHECK(c->lpVtbl->AddPoint(c, p1) == 1);
  CHECK(c->lpVtbl->AddPoint(c, p2) == 2);
  CHECK(c->lpVtbl->GetCount(c) == 3);
  CHECK(c->lpVtbl->GetDimension(c) == 4);
  CHECK(c->lpVtbl->GetValue(c, 1, 0) == 110.0);
  CHECK(c->lpVtbl->GetValue(c, 3, 0) == 0.0);
  CHECK(c->lpVtbl->GetPoint(c, 2)[1] == 190.0);
  CHECK(c->lpVtbl->GetPoint(c, 3) == NULL);
  CHECK(c->lpVtbl->Save(c, file_name));
  CHECK(c->lpVtbl->DeletePoint(c, 0));
  CHECK(!c->lpVtbl->DeletePoint(c, 2));
  CHECK(c->lpVtbl->GetCount(c) == 2);
  c->lpVtbl->Clear(c);
  CHECK(c->lpVtbl->GetCount(c) == 0);
  CHECK(c->lpVtbl->Load(c, file_name));
  CHECK(c->lpVtbl->GetCount(c) == 3);

  t = CreateAffineTransformFromCooords(c);
  CHECK(t != NULL);
  CHECK(c->lpVtbl->Release(c) == 0);
  CHECK(t->lpVtbl->AddRef(t) == 1);
  CHECK(t->lpVtbl->IsValid(t));
  CHECK(t->lpVtbl->Transform(t, out, pixel, 1));
  CHECK(out[0] == 125.0 && out[1] == 240.0);
  CHECK(t->lpVtbl->InverseTransform(t, out, out, 1));
  CHECK(out[0] == 2.5 && out[1] == -4.0);
  CHECK(!t->lpVtbl->Reserved1(t, 0));
  CHECK(!t->lpVtbl->Reserved2(t, 7));
  clone = t->lpVtbl->Clone(t);
  CHECK(clone != NULL);
  CHECK(t->lpVtbl->Release(t) == 0);
  CHECK(!clone->lpVtbl->Compute(clone, line, line, 3));
  CHECK(!clone->lpVtbl->IsValid(clone));
  CHECK(clone->lpVtbl->Compute(clone, target, source, 3));
  CHECK(clone->lpVtbl->IsValid(clone));
  CHECK(clone->lpVtbl->Release(clone) == 0);

  t = LoadAffineTransform(file_name);
  CHECK(t != NULL);
  CHECK(t->lpVtbl->Release(t) == 0);
  CHECK(LoadAffineTransformGeo(NULL) == NULL);
  CHECK(CreateAffineTransform(target, line, 3) == NULL);
  orto = CreateOrtoTransform(target, source, 3);
  CHECK(orto != NULL);
  CHECK(orto->lpVtbl->Release(orto) == 0);
  orto = LoadOrtoTransform(file_name);
  CHECK(orto != NULL);
  CHECK(orto->lpVtbl->Transform(orto, out, pixel, 1));
  CHECK(orto->lpVtbl->InverseTransform(orto, out, out, 1));
  CHECK(orto->lpVtbl->Release(orto) == 0);
  return 0;
}
