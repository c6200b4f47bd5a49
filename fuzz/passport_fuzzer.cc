// Passports (.passport): every getter of what loaded, then the promise that
// a passport that loaded saves and loads back equal.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace {

struct Seen {
  std::string alias;
  BOUND bound{};
  std::vector<std::string> keys, values;
};

std::string Text(bool (*get)(HMP, int32_t, char*, int32_t), HMP p, int32_t i) {
  char buffer[4096];
  if (!get(p, i, buffer, sizeof(buffer))) return "\x01";
  return buffer;
}

// Bounds are saved with 16 significant digits ("%-.16g"), one short of what
// every double needs: a value may come back one or two units in the last
// place off.
bool SameBound(const BOUND& a, const BOUND& b) {
  const double x[4] = {a.minx, a.miny, a.maxx, a.maxy}, y[4] = {b.minx, b.miny, b.maxx, b.maxy};
  for (int i = 0; i < 4; ++i) {
    if (std::memcmp(&x[i], &y[i], sizeof(double)) == 0) continue;
    if (!(std::fabs(x[i] - y[i]) <= 1e-15 * std::fmax(std::fabs(x[i]), std::fabs(y[i]))))
      return false;
  }
  return true;
}

Seen Read(HMP p) {
  Seen seen;
  char buffer[4096];
  if (GetAliasMP(p, buffer, sizeof(buffer))) seen.alias = buffer;
  GetAliasMP(p, buffer, 1);
  GetFileNameMP(p, buffer, sizeof(buffer));
  GetBoundMP(p, &seen.bound);
  int32_t count = GetAttributeCountMP(p);
  for (int32_t i = -1; i <= count; ++i) {
    std::string key = Text(GetAttributeIdPosMP, p, i);
    std::string value = Text(GetAttributePosMP, p, i);
    if (i < 0 || i == count) continue;
    orvofuzz::Require(GetAttributeMP(p, key.c_str(), buffer, sizeof(buffer)) && value == buffer,
                      "a listed property reads otherwise by its key");
    seen.keys.push_back(key);
    seen.values.push_back(value);
  }
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string base = orvofuzz::ScratchFile("map");
  static const std::string path = base + ".passport";
  orvofuzz::WriteScratch(path, data, size);
  HMP first = CreateMP();
  if (LoadMP(first, base.c_str())) {
    Seen loaded = Read(first);
    orvofuzz::Require(SaveMP(first), "a loaded passport did not save");
    HMP second = CreateMP();
    orvofuzz::Require(LoadMP(second, base.c_str()), "a saved passport does not load");
    Seen again = Read(second);
    orvofuzz::Require(again.alias == loaded.alias, "the alias changed in the round trip");
    orvofuzz::Require(SameBound(again.bound, loaded.bound), "the bound changed in the round trip");
    orvofuzz::Require(again.keys == loaded.keys && again.values == loaded.values,
                      "the properties changed in the round trip");
    FreeMP(second);
  }
  FreeMP(first);
  return 0;
}
