// Text attribute files (.attribute): every accessor of every record.
#include <cstddef>
#include <cstdint>

#include "fuzz/scratch.h"
#include "fuzz/walkers.h"
#include "orvoapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("layer.attribute");
  orvofuzz::WriteScratch(path, data, size);
  HAR reader = CreateExAR(path.c_str(), false);
  orvofuzz::Require(reader != nullptr, "an existing text file did not open");
  orvofuzz::WalkAttributes(reader);
  FreeAR(reader);
  return 0;
}
