// PGM sign libraries, as OpenPgm reads them, with every sign drawn into an
// image (and partly off it), recoloured, unloaded and drawn again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace {

volatile uint32_t g_sink;

void UseSigns(IPgm* pgm, HDC dc) {
  pgm->AddRef();
  const int32_t count = pgm->GetSignCount();
  orvofuzz::Require(count >= 1, "a sign library without signs opened");
  for (int32_t i : {-1, 0, count - 1, count})
    g_sink = g_sink ^ static_cast<uint32_t>(pgm->GetSignWidth(i));
  // The first few signs are enough to reach every path; the rest repeat them.
  for (int32_t i = -1; i < count && i < 8; ++i) {
    g_sink = g_sink + pgm->DrawSign(dc, 8, 8, i);
    g_sink = g_sink + pgm->RecolorSign(i, 0x000000FFu, 0x00FF0000u);
    g_sink = g_sink + pgm->DrawSign(dc, -3, 20, i);
    g_sink = g_sink + pgm->UnloadSign(i);
    g_sink = g_sink + pgm->RecolorSign(i, 0x00FFFFFFu, 0);
  }
  pgm->Release();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string input = orvofuzz::ScratchFile("input.pgm");
  static HDC dc = CreateImageDC(16, 16);
  orvofuzz::WriteScratch(input, data, size);
  if (IPgm* pgm = OpenPgm(input.c_str())) UseSigns(pgm, dc);
  return 0;
}
