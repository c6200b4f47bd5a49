// ".taws" tiles: the input is the first tile of a fixed two-tile list (the
// second tile valid), opened read-only as a raster and walked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/raster_walk.h"
#include "fuzz/scratch.h"
#include "fuzz/taws_sample.h"
#include "orvoapi.h"

namespace {

struct Set {
  std::string list, tile;
  Set() {
    std::string dir = orvofuzz::ScratchDir();
    tile = dir + "/" + orvofuzz::WriteSampleTile(dir, 30, 60, 4);
    orvofuzz::WriteSampleTile(dir, 31, 60, 4);
    list = dir + "/set.tawslist";
    orvofuzz::WriteScratch(list, orvofuzz::SampleListLine(1, 30, 60) + "\r\n" +
                                     orvofuzz::SampleListLine(2, 31, 60) + "\r\n");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Set set;
  orvofuzz::WriteScratch(set.tile, data, size);
  if (IRaster* raster = OpenTawsesRaster(set.list.c_str(), /*read_only=*/true)) {
    orvofuzz::WalkRaster(raster);
    ITaRaster* ta = static_cast<ITaRaster*>(raster);
    BOUND bound;
    ta->GetBound(&bound);
    orvofuzz::Require(ta->SaveTile(), "a read-only set had a tile to write");
    raster->Release();
  }
  if (ITransform* t = LoadTawsTransform(set.list.c_str())) t->Release();
  uint8_t head[264];
  ReadRasterHeadEx(set.list.c_str(), head, sizeof(head));
  return 0;
}
