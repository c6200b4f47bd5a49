// Selections: a loaded file is saved, and the saved file loads into the same
// set (saved again, byte for byte the same).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/scratch.h"
#include "orvoapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("ids.selection");
  static const std::string saved = orvofuzz::ScratchFile("saved.selection");
  static const std::string again = orvofuzz::ScratchFile("again.selection");
  orvofuzz::WriteScratch(path, data, size);
  HSE selection = CreateSE();
  AddSE(selection, 7);
  if (LoadSE(selection, path.c_str())) {
    orvofuzz::Require(FindSE(selection, 7), "a load dropped an id held before");
    for (int32_t id : {0, 1, -1, INT32_MAX, INT32_MIN}) FindSE(selection, id);
    orvofuzz::Require(SaveSE(selection, saved.c_str()), "a loaded selection did not save");
    HSE copy = CreateSE();
    orvofuzz::Require(LoadSE(copy, saved.c_str()), "a saved selection does not load");
    orvofuzz::Require(SaveSE(copy, again.c_str()), "a reloaded selection did not save");
    orvofuzz::Require(orvofuzz::ReadScratch(saved) == orvofuzz::ReadScratch(again),
                      "the selection changed in the round trip");
    FreeSE(copy);
  } else {
    orvofuzz::Require(FindSE(selection, 7), "a failed load changed the set");
  }
  FreeSE(selection);
  return 0;
}
