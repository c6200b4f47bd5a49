/* A C host built against an installed orvoapi: writes a small layer, reads
 * it back and prints what it read. */
#include <orvoapi.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: host DIR\n");
    return 2;
  }
  char path[1024];
  snprintf(path, sizeof(path), "%s/host.bspatial", argv[1]);
  HSW sw = CreateSW(path);
  HAW aw = CreateAW(path);
  const int32_t sizes[1] = {2};
  const double xy[4] = {10, 20, 11.5, 20};
  if (sw == NULL || aw == NULL || AddRecordSW(sw, 7, 2, sizes, xy, 1) != 48) return 1;
  AddRecordAW(aw, 7, 0, "ROAD");
  AddIntAttributeAW(aw, "LANES", 2);
  FreeSW(sw);
  FreeAW(aw);
  HSR sr = CreateSR(path);
  HAR ar = CreateAR(path);
  if (sr == NULL || ar == NULL || !NextSR(sr) || !NextAR(ar)) return 1;
  char code[16];
  memset(code, 0, sizeof(code));
  GetClassCodeAR(ar, code, (int32_t)sizeof(code));
  printf("record %d kind %d vertices %d class %s lanes %d\n", GetIdSR(sr), GetLocalSR(sr),
         GetVertexCountSR(sr), code, GetIntAttributeAR(ar, 0));
  FreeSR(sr);
  FreeAR(ar);
  return 0;
}
