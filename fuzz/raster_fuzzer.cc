// Raster files: the head, the tile table and run-length tiles, through
// IsRaster, ReadRasterHead and OpenRaster (read-only), walked as a host
// walks them.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/raster_walk.h"
#include "fuzz/scratch.h"
#include "orvoapi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("image.raster");
  orvofuzz::WriteScratch(path, data, size);
  bool valid = IsRaster(path.c_str());
  uint8_t head[300];
  orvofuzz::Require(valid == (ReadRasterHead(path.c_str(), head, 264) >= 264),
                    "IsRaster and ReadRasterHead disagree");
  ReadRasterHead(path.c_str(), head, sizeof(head));
  ReadRasterHeadEx(path.c_str(), head, 264);
  // Views of just what each request needs (cache 0), so that ASan sees the
  // end of every one.
  if (IRaster* raster = OpenRaster(path.c_str(), 0, /*read_only=*/true)) {
    orvofuzz::WalkRaster(raster);
    raster->Release();
  }
  return 0;
}
