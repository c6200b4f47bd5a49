// Text spatial files (.spatial) without an index: the spatial reader and the
// passport built from the layer.
#include <cstddef>
#include <cstdint>

#include "fuzz/scratch.h"
#include "fuzz/walkers.h"
#include "orvoapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("layer.spatial");
  orvofuzz::WriteScratch(path, data, size);
  HSR reader = CreateExSR(path.c_str(), false);
  orvofuzz::Require(reader != nullptr, "an existing text file did not open");
  orvofuzz::WalkSpatial(reader);
  FreeSR(reader);
  HMP passport = CreateMP();
  FindMP(passport, path.c_str(), false);
  FreeMP(passport);
  return 0;
}
