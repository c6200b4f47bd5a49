// Palette files and histogram files, as LoadPalette and DemHistogramm2Palette
// read them, with every query of the palette they give and a save that must
// load back with the same entries.
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace {

volatile int32_t g_sink;

// The whole colour table in one call: format 2 takes each index below 65536
// straight to its entry.
std::vector<uint8_t> Table(IPalette* palette) {
  static const std::vector<uint16_t> indices = [] {
    std::vector<uint16_t> all(65536);
    std::iota(all.begin(), all.end(), uint16_t{0});
    return all;
  }();
  const int32_t count = palette->GetCount();
  std::vector<uint8_t> table(static_cast<size_t>(count) * 3);
  if (count > 0)
    orvofuzz::Require(palette->Pixels2Dib(table.data(), indices.data(), 2, count) == count,
                      "a palette did not convert its own indices");
  return table;
}

void Query(IPalette* palette) {
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
}

// A save must load back with the same entries, every one of them.
void RoundTrip(IPalette* palette, const std::vector<uint8_t>& table, const std::string& saved) {
  if (!SavePalette(saved.c_str(), palette)) return;
  IPalette* again = LoadPalette(saved.c_str());
  orvofuzz::Require(again != nullptr, "a saved palette did not load");
  again->AddRef();
  orvofuzz::Require(again->GetCount() == palette->GetCount(), "a saved palette changed its size");
  orvofuzz::Require(Table(again) == table, "a saved palette changed a colour");
  uint8_t a[3], b[3];
  const int32_t count = palette->GetCount();
  for (int32_t i : {0, count / 2, count - 1}) {
    if (i < 0 || i >= count) continue;
    orvofuzz::Require(palette->GetColor(a, i) && again->GetColor(b, i) && a[0] == b[0] &&
                          a[1] == b[1] && a[2] == b[2],
                      "a saved palette gives another colour");
  }
  again->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = orvofuzz::ScratchFile("input.pal");
  static const std::string saved = orvofuzz::ScratchFile("saved.pal");
  orvofuzz::WriteScratch(input, data, size);
  // Both exports read palette and histogram files alike. The second one's
  // save is tried only when its entries differ from the first one's: the
  // same entries write the same bytes.
  std::vector<uint8_t> first_table;
  bool first_loaded = false;
  if (IPalette* palette = LoadPalette(input.c_str())) {
    palette->AddRef();
    Query(palette);
    first_table = Table(palette);
    first_loaded = true;
    RoundTrip(palette, first_table, saved);
    palette->Release();
  }
  if (IPalette* palette = DemHistogramm2Palette(input.c_str())) {
    palette->AddRef();
    Query(palette);
    std::vector<uint8_t> table = Table(palette);
    if (!first_loaded || table != first_table) RoundTrip(palette, table, saved);
    palette->Release();
  }
  return 0;
}
