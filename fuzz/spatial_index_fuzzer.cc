// Spatial indexes (.index, .bindex) beside a valid and a damaged layer. The
// first byte picks the layer: bit 0 the binary form, bit 1 the damaged copy;
// the rest is the index file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/sample_layers.h"
#include "fuzz/scratch.h"
#include "fuzz/walkers.h"
#include "orvoapi.h"

namespace {

struct Layers {
  std::string base[2][2];  // [binary][damaged], without extension
  Layers() {
    for (int binary = 0; binary < 2; ++binary) {
      for (int damaged = 0; damaged < 2; ++damaged) {
        std::string name = std::string(damaged ? "damaged" : "valid") + (binary ? "-b" : "-t");
        base[binary][damaged] = orvofuzz::ScratchFile(name);
        std::string layer = base[binary][damaged] + (binary ? ".bspatial" : ".spatial");
        orvofuzz::WriteSampleLayer(layer, binary != 0);
        if (damaged) orvofuzz::DamageFile(layer);
      }
    }
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Layers layers;
  if (size < 1) return 0;
  bool binary = (data[0] & 1) != 0;
  bool damaged = (data[0] & 2) != 0;
  const std::string& base = layers.base[binary][damaged];
  orvofuzz::WriteScratch(base + (binary ? ".bindex" : ".index"), data + 1, size - 1);
  std::string layer = base + (binary ? ".bspatial" : ".spatial");
  HSR reader = CreateExSR(layer.c_str(), binary);
  orvofuzz::Require(reader != nullptr || damaged, "a valid layer did not open");
  if (reader != nullptr) {
    orvofuzz::WalkSpatial(reader);
    FreeSR(reader);
  }
  return 0;
}
