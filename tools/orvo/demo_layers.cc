// Demo: a small vector layer written and read back through the exports, in
// the text or the binary form, then its passport and a selection.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/orvo/demo.h"

namespace orvotool {
namespace {

// The layer: a two-part road (id 7), a point with a height (id 8).
const int32_t kRoadParts[] = {2, 3};
const double kRoad[] = {10, 20, 11.5, 20, 30, 40, 31, 41.25, 32, 40};
const int32_t kOnePart[] = {1};
const double kWell[] = {5, 5};
const double kWellHeight[] = {100.5};

std::string Layer(const std::string& dir) {
  return (std::filesystem::path(dir) / "roads").string();
}

void WriteLayer(const HostLibrary& lib, const std::string& base, bool binary, Checker& check,
                int64_t* well_position) {
  std::string spatial = base + (binary ? ".bspatial" : ".spatial");
  HSW w = ORVO_FN(lib, CreateSW)(spatial.c_str());
  check.Expect(w != nullptr, "CreateSW opens the spatial file");
  if (w == nullptr) return;
  int64_t road = ORVO_FN(lib, AddRecordSW)(w, 7, 2, kRoadParts, kRoad, 2);
  *well_position = ORVO_FN(lib, AddRecord3DSW)(w, 8, 1, kOnePart, kWell, 1, kWellHeight);
  int64_t refused = ORVO_FN(lib, AddRecordSW)(w, 0, 2, kRoadParts, kRoad, 2);
  ORVO_FN(lib, FreeSW)(w);
  std::printf("  wrote %s: road at %lld, well at %lld\n", spatial.c_str(),
              static_cast<long long>(road), static_cast<long long>(*well_position));
  check.Expect(refused == -1, "a record with id 0 is refused, the layer stays readable");

  HAW a = ORVO_FN(lib, CreateExAW)(base.c_str(), binary);
  check.Expect(a != nullptr, "CreateExAW opens the attribute file");
  if (a == nullptr) return;
  const unsigned char raw[] = {0x01, 0xAB, 0xFF};
  ORVO_FN(lib, AddRecordAW)(a, 7, 1007, "ROAD");
  ORVO_FN(lib, AddIntAttributeAW)(a, "LANES", 2);
  ORVO_FN(lib, AddDoubleAttributeAW)(a, "WIDTH", 7.5);
  ORVO_FN(lib, AddAttributeAW)(a, "NAME", "Main \"Street\"");
  ORVO_FN(lib, AddBlobAttributeAW)(a, "RAW", raw, 3);
  ORVO_FN(lib, AddRecordAW)(a, 8, 1008, "WELL");
  ORVO_FN(lib, AddAttributeAW)(a, "NAME", "Old well");
  ORVO_FN(lib, FreeAW)(a);
}

void ReadSpatial(const HostLibrary& lib, const std::string& base, bool binary,
                 int64_t well_position, Checker& check) {
  HSR r = ORVO_FN(lib, CreateExSR)((base + (binary ? ".bspatial" : ".spatial")).c_str(), binary);
  check.Expect(r != nullptr, "CreateExSR opens the layer");
  if (r == nullptr) return;
  int records = 0;
  double sum = 0;
  while (ORVO_FN(lib, NextSR)(r)) {
    ++records;
    int32_t vertices = ORVO_FN(lib, GetVertexCountSR)(r);
    double xy[16];
    // Pointers into a binary layer's window may be unaligned: copy them out.
    std::memcpy(xy, ORVO_FN(lib, GetMetricSR)(r), sizeof(double) * 2 * vertices);
    BOUND b;
    ORVO_FN(lib, GetBoundSR)(r, &b);
    std::printf(
        "  record %d: kind %d (with height %d), %d part(s), %d vertices, "
        "bound %g,%g - %g,%g\n",
        ORVO_FN(lib, GetIdSR)(r), ORVO_FN(lib, GetLocalSR)(r), ORVO_FN(lib, GetLocal3DSR)(r),
        ORVO_FN(lib, GetVectorCountSR)(r), vertices, b.minx, b.miny, b.maxx, b.maxy);
    for (int i = 0; i < 2 * vertices; ++i) sum += xy[i];
  }
  check.Expect(records == 2, "NextSR walks both records");
  check.Expect(sum == 10 + 20 + 11.5 + 20 + 30 + 40 + 31 + 41.25 + 32 + 40 + 5 + 5,
               "every coordinate reads back exactly");
  bool found = ORVO_FN(lib, SetPositionSR)(r, well_position) && ORVO_FN(lib, GetIdSR)(r) == 8;
  const double* z = found ? ORVO_FN(lib, GetZSR)(r) : nullptr;
  double height = 0;
  if (z != nullptr) std::memcpy(&height, z, sizeof(height));
  check.Expect(found && height == 100.5, "SetPositionSR jumps back to the well and its height");
  ORVO_FN(lib, FreeSR)(r);
}

void ReadAttributes(const HostLibrary& lib, const std::string& base, bool binary, Checker& check) {
  HAR r = ORVO_FN(lib, CreateExAR)(base.c_str(), binary);
  check.Expect(r != nullptr, "CreateExAR opens the attribute file");
  if (r == nullptr) return;
  bool road_ok = false;
  int records = 0;
  char code[32] = {0};
  while (ORVO_FN(lib, NextAR)(r)) {
    ++records;
    ORVO_FN(lib, GetClassCodeAR)(r, code, sizeof(code) - 1);  // bounded copy: keep a NUL
    std::printf("  object %d (user id %d), class %s, %d attribute(s)\n", ORVO_FN(lib, GetIdAR)(r),
                ORVO_FN(lib, GetUserIdAR)(r), code, ORVO_FN(lib, GetAttributeCountAR)(r));
    if (ORVO_FN(lib, GetIdAR)(r) != 7) continue;
    char name[64] = {0};
    unsigned char raw[8] = {0};
    ORVO_FN(lib, GetAttributeAR)(r, 2, name, sizeof(name) - 1);
    road_ok = ORVO_FN(lib, GetIntAttributeAR)(r, 0) == 2 &&
              ORVO_FN(lib, GetDoubleAttributeAR)(r, 1) == 7.5 &&
              std::strcmp(name, "Main \"Street\"") == 0 &&
              ORVO_FN(lib, GetBlobAttributeAR)(r, 3, raw, sizeof(raw)) == 3 && raw[1] == 0xAB;
    // Text files carry every value as text (type 5); binary files keep the type.
    std::printf("    LANES type %d, WIDTH type %d, NAME \"%s\"\n",
                ORVO_FN(lib, GetAttributeDataTypeAR)(r, 0),
                ORVO_FN(lib, GetAttributeDataTypeAR)(r, 1), name);
  }
  check.Expect(records == 2 && road_ok, "attributes of every type read back");
  ORVO_FN(lib, FreeAR)(r);
}

}  // namespace

void DemoVectorLayer(const HostLibrary& lib, const std::string& dir, bool binary, Checker& check) {
  std::printf("vector layer, %s form (spatial + attribute files)\n", binary ? "binary" : "text");
  std::string base = Layer(dir);
  int64_t well_position = -1;
  WriteLayer(lib, base, binary, check, &well_position);
  ReadSpatial(lib, base, binary, well_position, check);
  ReadAttributes(lib, base, binary, check);
}

void DemoPassportAndSelection(const HostLibrary& lib, const std::string& dir, Checker& check) {
  std::printf("map passport and selection\n");
  std::string base = Layer(dir);
  HMP mp = ORVO_FN(lib, CreateMP)();
  bool found = ORVO_FN(lib, FindMP)(mp, (base + ".bspatial").c_str(), true);
  ORVO_FN(lib, SetAliasMP)(mp, "Demo roads");
  ORVO_FN(lib, AddAttributeMP)(mp, "scale", "1:5000");
  bool saved = ORVO_FN(lib, SaveMP)(mp);
  ORVO_FN(lib, FreeMP)(mp);
  check.Expect(found && saved, "FindMP takes the bound from the layer, SaveMP writes it");

  HMP loaded = ORVO_FN(lib, CreateMP)();
  char alias[64];
  BOUND b{};
  bool ok = ORVO_FN(lib, LoadMP)(loaded, (base + ".passport").c_str()) &&
            ORVO_FN(lib, GetAliasMP)(loaded, alias, sizeof(alias));
  ORVO_FN(lib, GetBoundMP)(loaded, &b);
  if (ok)
    std::printf("  passport \"%s\", bound %g,%g - %g,%g\n", alias, b.minx, b.miny, b.maxx, b.maxy);
  check.Expect(ok && b.minx == 5 && b.maxy == 41.25, "LoadMP gives the alias and bound back");
  ORVO_FN(lib, FreeMP)(loaded);

  std::string selection = (std::filesystem::path(dir) / "wells.sel").string();
  HSE se = ORVO_FN(lib, CreateSE)();
  for (int32_t id : {8, 7, 42}) ORVO_FN(lib, AddSE)(se, id);
  bool written = ORVO_FN(lib, SaveSE)(se, selection.c_str());
  ORVO_FN(lib, FreeSE)(se);
  HSE back = ORVO_FN(lib, CreateSE)();
  bool read = ORVO_FN(lib, LoadSE)(back, selection.c_str());
  check.Expect(written && read && ORVO_FN(lib, FindSE)(back, 42) && !ORVO_FN(lib, FindSE)(back, 9),
               "a selection saves and loads back");
  ORVO_FN(lib, FreeSE)(back);
}

}  // namespace orvotool
