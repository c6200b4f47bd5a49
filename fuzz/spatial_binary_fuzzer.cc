// Binary spatial files (.bspatial) without an index: the spatial reader and
// the passport built from the layer.
#include <cstddef>
#include <cstdint>

#include "fuzz/scratch.h"
#include "fuzz/walkers.h"
#include "orvoapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("layer.bspatial");
  orvofuzz::WriteScratch(path, data, size);
  if (HSR reader = CreateExSR(path.c_str(), true)) {
    orvofuzz::WalkSpatial(reader);
    FreeSR(reader);
  }
  HMP passport = CreateMP();
  FindMP(passport, path.c_str(), true);
  FreeMP(passport);
  return 0;
}
