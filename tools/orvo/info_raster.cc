// `orvo info` of a raster file (head, tiles, layout, compression, previews,
// transform), of a terrain tile list and of one terrain tile.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "orvoapi.h"
#include "raster/raster_format.h"
#include "taws/taws_tile.h"
#include "tools/orvo/command.h"
#include "tools/orvo/info.h"

namespace orvotool {

namespace fs = std::filesystem;

namespace {

orvo::RASTERHEAD Head(const std::string& path, bool tile_list) {
  std::vector<char> buffer(static_cast<size_t>(orvo::kRasterHeadSize), 0);
  const int32_t got = tile_list ? ReadRasterHeadEx(path.c_str(), buffer.data(), 264)
                                : ReadRasterHead(path.c_str(), buffer.data(), 264);
  if (got <= 0) throw InputError{path, "has no raster head"};
  orvo::RASTERHEAD head;
  std::memcpy(&head, buffer.data(), sizeof(head));
  return head;
}

// The transform, as the map rectangle of the four corner pixels.
InfoJson TransformJson(const std::string& path) {
  ITransformedRaster* raster = OpenTransformedRaster(path.c_str(), true, false);
  if (raster == nullptr) return nullptr;
  InfoJson j = nullptr;
  BOUND b;
  if (raster->HasTransform() && GetRasterBoundary(&b, raster)) {
    double origin[2] = {0, 0};
    GetRasterOrigin(origin, raster);
    j = InfoJson{{"boundary", BoundJson(b.minx, b.miny, b.maxx, b.maxy)},
                 {"origin", InfoJson::array({origin[0], origin[1]})}};
  }
  raster->Release();
  return j;
}

InfoJson HeadJson(const orvo::RASTERHEAD& h) {
  const int64_t across = h.tile_width > 0 ? (h.width + h.tile_width - 1) / h.tile_width : 0;
  const int64_t down = h.tile_height > 0 ? (h.height + h.tile_height - 1) / h.tile_height : 0;
  return InfoJson{
      {"width", h.width},           {"height", h.height},           {"pixel_size", h.pixel_size},
      {"tile_width", h.tile_width}, {"tile_height", h.tile_height}, {"tiles_across", across},
      {"tiles_down", down},         {"head_size", h.head_size}};
}

}  // namespace

InfoJson RasterInfo(const std::string& path) {
  const orvo::RASTERHEAD h = Head(path, false);
  InfoJson j = InfoJson::object();
  j["file"] = path;
  j["kind"] = "raster";
  j["size"] = h.file_size;
  j.update(HeadJson(h));
  const int64_t tiles = j["tiles_across"].get<int64_t>() * j["tiles_down"].get<int64_t>();
  const int64_t tile_bytes = h.tile_width * h.tile_height * h.pixel_size;
  int64_t raw = 0, rle = 0, absent = 0;
  if (h.tile_table_offset != 0) {
    j["layout"] = "variable";
    std::ifstream in(path, std::ios::binary);
    in.seekg(h.tile_table_offset);
    for (int64_t i = 0; i < tiles; ++i) {
      char record[12];
      if (!in.read(record, 12)) throw InputError{path, "tile table is cut short"};
      int64_t offset;
      int32_t stored;
      std::memcpy(&offset, record, 8);
      std::memcpy(&stored, record + 8, 4);
      if (offset <= 0)
        ++absent;
      else if (stored == tile_bytes)
        ++raw;
      else
        ++rle;
    }
  } else {
    j["layout"] = "fixed";
    raw = tiles;
  }
  j["tiles"] = InfoJson{{"raw", raw}, {"rle", rle}, {"absent", absent}};
  j["compression"] = rle ? (raw ? "mixed" : "rle") : "none";
  // Previews: other raster files of the same stem in the same folder.
  InfoJson previews = InfoJson::array();
  const fs::path p(path);
  std::error_code ec;
  const fs::path dir = p.has_parent_path() ? p.parent_path() : fs::path(".");
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    if (e.path().stem() != p.stem() || e.path().filename() == p.filename()) continue;
    const std::string other = e.path().string();
    if (!IsRaster(other.c_str())) continue;
    const orvo::RASTERHEAD ph = Head(other, false);
    previews.push_back(InfoJson{{"path", other}, {"width", ph.width}, {"height", ph.height}});
  }
  j["previews"] = std::move(previews);
  j["transform"] = TransformJson(path);
  return j;
}

InfoJson TawsListInfo(const std::string& path) {
  const orvo::RASTERHEAD h = Head(path, true);
  InfoJson j = InfoJson::object();
  j["file"] = path;
  j["kind"] = "taws_list";
  j.update(HeadJson(h));
  IRaster* raster = OpenTawsesRaster(path.c_str(), true);
  if (raster == nullptr) throw InputError{path, "tile list does not load"};
  BOUND b{0, 0, 0, 0};
  static_cast<ITaRaster*>(raster)->GetBound(&b);
  int64_t present = 0;
  for (int32_t ty = 0; ty < j["tiles_down"].get<int32_t>(); ++ty)
    for (int32_t tx = 0; tx < j["tiles_across"].get<int32_t>(); ++tx)
      present += raster->GetTile(tx, ty) != nullptr ? 1 : 0;
  raster->Release();
  j["bound"] = BoundJson(b.minx, b.miny, b.maxx, b.maxy);
  j["tiles_present"] = present;
  return j;
}

InfoJson TawsTileInfo(const std::string& path) {
  try {
    const orvo::TTawsMap tile(path.c_str(), 0, 0, 0, /*read_only=*/true);
    orvo::TAWSHEAD head;
    std::ifstream in(path, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(&head), sizeof(head)))
      throw InputError{path, "cannot be read"};
    const int64_t count = int64_t{tile.Samples()} * tile.Samples();
    int64_t without_data = 0;
    for (int64_t i = 0; i < count; ++i) without_data += tile.Grid()[i] > orvo::kTawsZero ? 1 : 0;
    InfoJson j = InfoJson::object();
    j["file"] = path;
    j["kind"] = "taws_tile";
    j["version"] = head.version;
    j["producer"] = std::string(head.producer, strnlen(head.producer, sizeof(head.producer)));
    j["created"] = InfoJson::array({head.created[0], head.created[1], head.created[2]});
    j["samples"] = tile.Samples();
    j["spacing_arcsec"] = tile.Spacing();
    j["bound"] =
        BoundJson(tile.West() / 3600, tile.South() / 3600, tile.East() / 3600, tile.North() / 3600);
    j["min_height"] = head.min_height;
    j["max_height"] = head.max_height;
    j["samples_without_data"] = without_data;
    return j;
  } catch (const char* message) {
    throw InputError{path, message};
  }
}

}  // namespace orvotool
