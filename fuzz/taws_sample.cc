// Sample terrain tiles.
#include "fuzz/taws_sample.h"

#include "taws/taws_tile.h"

namespace orvofuzz {

std::string WriteSampleTile(const std::string& folder, int32_t lon, int32_t lat,
                            int32_t intervals) {
  orvo::TTawsMap tile(folder.c_str(), lon, lat, intervals);
  const int32_t n = intervals + 1;
  for (int32_t i = 0; i < n * n; ++i) {
    tile.MutableGrid()[i] = static_cast<int16_t>(i % 7 == 3    ? orvo::kTawsZero
                                                 : i % 11 == 5 ? orvo::kTawsNoData
                                                               : (i * 37) % 2000 - 100);
  }
  tile.UpdateMinMax();
  return orvo::TawsTileName("", lon, lat).substr(1);
}

std::string SampleListLine(int32_t id, int32_t lon, int32_t lat) {
  return std::to_string(id) + ", " + std::to_string(lon) + ", " + std::to_string(lat) + ", " +
         std::to_string(lon + 1) + ", " + std::to_string(lat + 1) + ", " +
         orvo::TawsTileName("", lon, lat).substr(1);
}

}  // namespace orvofuzz
