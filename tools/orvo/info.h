// What `orvo info` finds in each kind of file, as JSON (docs/orvo.md).
#ifndef TOOLS_ORVO_INFO_H_
#define TOOLS_ORVO_INFO_H_

#include <nlohmann/json.hpp>
#include <string>

namespace orvotool {

using InfoJson = nlohmann::ordered_json;

// Each throws InputError when the file is not of its kind after all.
InfoJson LayerInfo(const std::string& path);
InfoJson RasterInfo(const std::string& path);
InfoJson TawsListInfo(const std::string& path);
// One ".taws" terrain tile.
InfoJson TawsTileInfo(const std::string& path);
InfoJson ClassifierInfo(const std::string& path);
InfoJson SelectionInfo(const std::string& path);
InfoJson ControlPointsInfo(const std::string& path);
// Palette files, or with histogram, histogram files (both read as palettes).
InfoJson PaletteInfo(const std::string& path, bool histogram);
// PGM sign libraries (".pgm").
InfoJson SignLibraryInfo(const std::string& path);

// A bound as [minx, miny, maxx, maxy].
InfoJson BoundJson(double minx, double miny, double maxx, double maxy);

}  // namespace orvotool

#endif  // TOOLS_ORVO_INFO_H_
