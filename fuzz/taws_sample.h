// Terrain tiles and tile lists made by the library's own tile writer, for the
// harnesses and the seed maker.
#ifndef FUZZ_TAWS_SAMPLE_H_
#define FUZZ_TAWS_SAMPLE_H_

#include <cstdint>
#include <string>

namespace orvofuzz {

// Writes the tile of the cell at (lon, lat) in folder with intervals + 1
// samples a side, heights from a small pattern with some 9998 and 9999;
// returns its file name (without folder).
std::string WriteSampleTile(const std::string& folder, int32_t lon, int32_t lat, int32_t intervals);
// The list line of that cell: "id, x1, y1, x2, y2, file name".
std::string SampleListLine(int32_t id, int32_t lon, int32_t lat);

}  // namespace orvofuzz

#endif  // FUZZ_TAWS_SAMPLE_H_
