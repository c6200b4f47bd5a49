// Palette files and histogram files, as LoadPalette and DemHistogramm2Palette
// read them, with every query of the palette they give and a save that must
// load back with the same entries.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace {

volatile int32_t g_sink;

void UsePalette(IPalette* palette, const std::string& saved) {
  if (palette == nullptr) return;
  palette->AddRef();
  const int32_t count = palette->GetCount();
  orvofuzz::Require(count >= 0 && count <= 65536, "a palette of an impossible size");
  // Format 3 copies 3 bytes a pixel, so the source holds 4 * 3 bytes.
  const uint16_t pixels[6] = {0, 1, 9999, 65535, 7, 255};
  uint8_t dib[4 * 3];
  for (int32_t format : {0, 1, 2, 3, 4})
    g_sink = g_sink + palette->Pixels2Dib(dib, pixels, format, 4);
  uint8_t rgb[3];
  for (int32_t i : {-1, 0, count / 2, count - 1, count})
    g_sink = g_sink + palette->GetColor(rgb, i);
  if (SavePalette(saved.c_str(), palette)) {
    IPalette* again = LoadPalette(saved.c_str());
    orvofuzz::Require(again != nullptr, "a saved palette did not load");
    again->AddRef();
    orvofuzz::Require(again->GetCount() == count, "a saved palette changed its size");
    uint8_t a[3], b[3];
    for (int32_t i : {0, count / 2, count - 1}) {
      if (i < 0 || i >= count) continue;
      orvofuzz::Require(palette->GetColor(a, i) && again->GetColor(b, i) && a[0] == b[0] &&
                            a[1] == b[1] && a[2] == b[2],
                        "a saved palette changed a colour");
    }
    again->Release();
  }
  palette->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = orvofuzz::ScratchFile("input.pal");
  static const std::string saved = orvofuzz::ScratchFile("saved.pal");
  orvofuzz::WriteScratch(input, data, size);
  UsePalette(LoadPalette(input.c_str()), saved);
  UsePalette(DemHistogramm2Palette(input.c_str()), saved);
  return 0;
}
