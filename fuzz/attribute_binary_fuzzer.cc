// Binary attribute files (.battribute): every accessor of every record.
#include <cstddef>
#include <cstdint>

#include "fuzz/scratch.h"
#include "fuzz/walkers.h"
#include "orvoapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("layer.battribute");
  orvofuzz::WriteScratch(path, data, size);
  if (HAR reader = CreateExAR(path.c_str(), true)) {
    orvofuzz::WalkAttributes(reader);
    FreeAR(reader);
  }
  return 0;
}
