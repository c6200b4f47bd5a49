// Tile lists: the input is the list, beside two valid tiles; opened as a tile
// set, as a raster (OpenRaster of a list) and for its transform and head.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/raster_walk.h"
#include "fuzz/scratch.h"
#include "fuzz/taws_sample.h"
#include "orvoapi.h"

namespace {

struct Tiles {
  Tiles() {
    const std::string dir = orvofuzz::ScratchDir();
    orvofuzz::WriteSampleTile(dir, 30, 60, 4);
    orvofuzz::WriteSampleTile(dir, 31, 60, 4);
    orvofuzz::WriteSampleTile(dir, 30, 59, 2);  // another grid size
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Tiles tiles;
  static const std::string list = orvofuzz::ScratchFile("set.tawslist");
  orvofuzz::WriteScratch(list, data, size);
  if (IRaster* raster = OpenTawsesRaster(list.c_str(), /*read_only=*/true)) {
    orvofuzz::WalkRaster(raster);
    BOUND bound;
    static_cast<ITaRaster*>(raster)->GetBound(&bound);
    raster->Release();
  }
  if (IRaster* raster = OpenRaster(list.c_str(), 0, /*read_only=*/true)) raster->Release();
  if (ITransform* t = LoadTawsTransform(list.c_str())) t->Release();
  uint8_t head[264];
  ReadRasterHeadEx(list.c_str(), head, sizeof(head));
  return 0;
}
