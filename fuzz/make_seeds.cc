// Writes the seed corpora of the harnesses with the library's own writers:
//   orvo_fuzz_seeds OUTPUT_DIR
// makes OUTPUT_DIR/<harness>/<seed> for every harness (fuzz/corpus in the
// tree holds its output).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "fuzz/sample_layers.h"
#include "fuzz/scratch.h"
#include "fuzz/taws_sample.h"
#include "orvoapi.h"
#include "raster/raster_format.h"
#include "tests/support/pgm_builder.h"
#include "tests/vector/spatial_index_files.h"

namespace {

using orvofuzz::ReadScratch;
using orvofuzz::Require;
using orvofuzz::ScratchFile;
using orvofuzz::WriteScratch;

std::string g_out;

void Seed(const std::string& harness, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(g_out + "/" + harness);
  WriteScratch(g_out + "/" + harness + "/" + name, bytes);
}

void SpatialSeeds() {
  for (bool binary : {false, true}) {
    const std::string base = ScratchFile(binary ? "layer-b" : "layer-t");
    const std::string layer = base + (binary ? ".bspatial" : ".spatial");
    std::vector<orvofuzz::SampleRecord> records = orvofuzz::WriteSampleLayer(layer, binary);
    Seed(binary ? "spatial_binary" : "spatial_text", "sample", ReadScratch(layer));
    std::vector<orvo::TSpatialIndexEx::SI> entries;
    for (const orvofuzz::SampleRecord& r : records) {
      entries.push_back(orvotest::IndexEntry(r.id, r.kind, r.position, r.id * 16));
    }
    std::string index =
        binary ? orvotest::BinaryIndexBytes(entries) : orvotest::TextIndexBytes(entries);
    for (char selector : {0, 2}) {
      Seed("spatial_index", std::string(binary ? "binary" : "text") + (selector ? "-damaged" : ""),
           std::string(1, static_cast<char>(selector | (binary ? 1 : 0))) + index);
    }
  }
}

void AttributeSeeds() {
  for (bool binary : {false, true}) {
    const std::string path = ScratchFile(binary ? "a.battribute" : "a.attribute");
    HAW w = CreateExAW(path.c_str(), binary);
    Require(w != nullptr, "no attribute writer");
    const unsigned char blob[] = {0, 1, 0xFE, 0x7F};
    AddRecordAW(w, 1, 10, "ROAD");
    AddAttributeAW(w, "NAME", "Main street");
    AddIntAttributeAW(w, "LANES", 4);
    AddDoubleAttributeAW(w, "WIDTH", 12.75);
    AddBlobAttributeAW(w, "RAW", blob, sizeof(blob));
    AddRecordAW(w, 2, 0, "");
    AddRecordAW(w, 3, -5, "RIVER");
    AddAttributeAW(w, "NAME", "");
    AddDoubleAttributeAW(w, "DEPTH", -1e-300);
    FreeAW(w);
    Seed(binary ? "attribute_binary" : "attribute_text", "sample", ReadScratch(path));
  }
}

void ClassifierSeeds() {
  HCS cs = CreateCS();
  AddAttributeCS(cs, "LANES");
  HAT lanes = GetAttributeCS(cs, "LANES");
  SetNameAT(lanes, "Lanes");
  SetDataTypeAT(lanes, 1);
  SetMinAT(lanes, "1");
  SetMaxAT(lanes, "8");
  SetDefaultAT(lanes, "2");
  SetUnitAT(lanes, "pcs");
  AddAttributeCS(cs, "SURFACE");
  HAT surface = GetAttributeCS(cs, "SURFACE");
  SetNameAT(surface, "Surface");
  SetDataTypeAT(surface, 4);
  SetDataSubTypeAT(surface, "32");
  AddValueAT(surface, "ASPHALT", "hard \"top\"");
  AddValueAT(surface, "GRAVEL", "loose");
  AddFeatureCS(cs, "ROAD");
  HFT road = GetFeatureCS(cs, "ROAD");
  SetNameFT(road, "Road");
  SetAnnoFT(road, "a road");
  SetGraphIdFT(road, "ROADLINE");
  SetLocalFT(road, 2);
  AddAttributeFT(road, "LANES", false);
  AddAttributeFT(road, "SURFACE", true);
  AddGroupCS(cs, "TRANSPORT");
  SetAnnoGT(GetGroupCS(cs, "TRANSPORT"), "ways");
  AddGraphCS(cs, "ROADLINE");
  HRT line = GetGraphCS(cs, "ROADLINE");
  SetStdSymbolRT(line, "L1");
  SetPriorityRT(line, 5);
  SetMinScaleRT(line, 1000);
  SetMaxScaleRT(line, 50000.5);
  const std::string path = ScratchFile("c.classify");
  Require(SaveFileCS(cs, path.c_str()), "no classifier saved");
  FreeCS(cs);
  Seed("classifier", "sample", ReadScratch(path));
  Seed("ini", "classifier", ReadScratch(path));
  Seed("ini", "lends", "[A]\r\nk=1\r\n[A:SUB]\nk=2\r\n\t[x=3\r;c\n[]\n[B\nv = 4 \n");
}

void PassportSeeds() {
  const std::string base = ScratchFile("map");
  HMP p = CreateMP();
  SetFileNameMP(p, base.c_str());
  SetAliasMP(p, "Sample map");
  BOUND bound = {-10.5, 20.25, 30.125, 40};
  SetBoundMP(p, &bound);
  AddAttributeMP(p, "SCALE", "1:50000");
  AddAttributeMP(p, "OWNER", "survey=east");
  Require(SaveMP(p), "no passport saved");
  FreeMP(p);
  Seed("passport", "sample", ReadScratch(base + ".passport"));
  Seed("ini", "passport", ReadScratch(base + ".passport"));
}

void SelectionSeeds() {
  HSE s = CreateSE();
  for (int32_t id : {-7, 1, 2, 3, 100, 65536, INT32_MAX}) AddSE(s, id);
  const std::string path = ScratchFile("s.selection");
  Require(SaveSE(s, path.c_str()), "no selection saved");
  FreeSE(s);
  Seed("selection", "sample", ReadScratch(path));
  Seed("selection", "tokens", "12.5\r\n;3\n\n4,5\t6\r99999999999\n-x\n");
}

// A fixed-layout raster written through IRaster, and the same pixels in the
// variable layout with run-length tiles.
void RasterSeeds() {
  const int32_t w = 10, h = 6, tw = 4, th = 4;
  for (int32_t ps : {1, 3}) {
    const std::string path = ScratchFile("r" + std::to_string(ps) + ".raster");
    Require(CreateRaster(path.c_str(), w, h, tw, th, ps, 264), "no raster made");
    IRaster* r = OpenRaster(path.c_str(), 0, false);
    Require(r != nullptr, "the raster made does not open");
    std::vector<uint8_t> pixels(static_cast<size_t>(w * h * ps));
    // Runs along rows, so that some tiles code shorter than raw and some not.
    for (size_t i = 0; i < pixels.size(); ++i) {
      const size_t x = i / ps % w, y = i / ps / w;
      pixels[i] = static_cast<uint8_t>(y / 2 + (x >= 7 ? 5 * x : 0) + i % ps);
    }
    Require(r->SetPixelBlock(0, 0, w, h, pixels.data()), "no pixels written");
    r->Release();
    const std::string fixed = ReadScratch(path);
    Seed("raster", "fixed-" + std::to_string(ps), fixed);

    orvo::RASTERHEAD head;
    std::memcpy(&head, fixed.data(), sizeof(head));
    const int64_t fixed_data = head.data_offset;
    const int32_t across = TileCount(tw, w), down = TileCount(th, h);
    const int64_t tile_bytes = int64_t{tw} * th * ps;
    std::string table, data;
    const int64_t data_at = 264 + 12 * across * down;
    for (int32_t t = 0; t < across * down; ++t) {
      const char* raw = fixed.data() + fixed_data + t * tile_bytes;
      std::vector<uint8_t> coded(static_cast<size_t>(tile_bytes));
      int32_t n = RleCompress(coded.data(), raw, static_cast<int32_t>(tile_bytes), ps);
      orvo::RASTERTILE entry{data_at + static_cast<int64_t>(data.size()), 0};
      if (t == 1) {
        entry = {0, 0};  // an absent tile
      } else if (n > 0) {
        const uint16_t method = orvo::kRleMethod;
        data.append(reinterpret_cast<const char*>(&method), 2);
        data.append(reinterpret_cast<const char*>(coded.data()), static_cast<size_t>(n));
        entry.size = static_cast<uint32_t>(n + 2);
      } else {
        data.append(raw, static_cast<size_t>(tile_bytes));
        entry.size = static_cast<uint32_t>(tile_bytes);
      }
      table.append(reinterpret_cast<const char*>(&entry), sizeof(entry));
    }
    head.tile_table_offset = 264;
    head.data_offset = 0;
    head.file_size = data_at + static_cast<int64_t>(data.size());
    std::string variable(reinterpret_cast<const char*>(&head), sizeof(head));
    variable += table + data;
    const std::string vpath = ScratchFile("v" + std::to_string(ps) + ".raster");
    WriteScratch(vpath, variable);
    IRaster* v = OpenRaster(vpath.c_str(), 0, true);
    Require(v != nullptr, "the variable-layout raster does not open");
    v->Release();
    Seed("raster", "variable-" + std::to_string(ps), variable);

    // Run-length streams: pixel size, tile bytes, the stream of tile 0.
    std::vector<uint8_t> coded(static_cast<size_t>(tile_bytes));
    int32_t n =
        RleCompress(coded.data(), fixed.data() + fixed_data, static_cast<int32_t>(tile_bytes), ps);
    Require(n > 0, "no run-length stream");
    std::string rle;
    rle += static_cast<char>(ps);
    rle += static_cast<char>(tile_bytes & 0xFF);
    rle += static_cast<char>(tile_bytes >> 8);
    rle.append(reinterpret_cast<const char*>(coded.data()), static_cast<size_t>(n));
    Seed("rle", "tile-" + std::to_string(ps), rle);
  }
}

void ControlPointSeeds() {
  const std::string path = ScratchFile("c.corners");
  BOUND bound = {30.0, 59.5, 31.25, 60.0};
  Require(WriteRasterBound(path.c_str(), 20, 12, &bound), "no control points written");
  Seed("control_points", "corners", ReadScratch(path));
  ICoords* coords = CreateCoords(nullptr, 4);
  Require(coords != nullptr, "no coordinate array");
  const double points[][4] = {
      {100, 200, 0, 0}, {300, 200, 10, 0}, {300, 100, 10, 5}, {-5e5, 1e-3, 2.5, 7}};
  for (const double* p : points) coords->AddPoint(p);
  const std::string saved = ScratchFile("c.points");
  Require(coords->Save(saved.c_str()), "no coordinates saved");
  coords->Release();
  Seed("control_points", "points", ReadScratch(saved) + "1 2 three 4\r\n\r\n");
}

void TawsSeeds() {
  const std::string dir = orvofuzz::ScratchDir();
  for (int32_t intervals : {2, 4}) {
    const std::string name = orvofuzz::WriteSampleTile(dir, 30 + intervals, 60, intervals);
    Seed("taws_tile", "n" + std::to_string(intervals + 1), ReadScratch(dir + "/" + name));
  }
  Seed("taws_list", "two",
       orvofuzz::SampleListLine(1, 30, 60) + "\r\n" + orvofuzz::SampleListLine(2, 31, 60) +
           ", extra\r\n");
  Seed("taws_list", "mixed",
       "header line\n" + orvofuzz::SampleListLine(7, 30, 59) + "\n" +
           "3, 31.0, 61, 30, 60, E030N61.taws\r" + orvofuzz::SampleListLine(9, 31, 60) + "\n");
}

// A sign library of two signs: one with white around a red cross, one grey.
void PgmSeeds() {
  const auto cross = [](int32_t x, int32_t y) -> uint32_t {
    return x == 2 || y == 2 ? 0xFF0000 : 0xFFFFFF;
  };
  const auto grey = [](int32_t, int32_t) -> uint32_t { return 0x808080; };
  Seed(
      "pgm", "two-signs",
      orvotest::PgmFile(orvotest::PgmRecord("Zcross", 2, 2, 5, 5, orvotest::BmpImage(5, 5, cross)) +
                        orvotest::PgmRecord("grey", 0, 1, 2, 2, orvotest::BmpImage(2, 2, grey))));
}

// GeoJSON as another tool would write it (the README's lakes), and one with
// every foreign member the reader knows, CR LF line ends.
void GeoJsonSeeds() {
  Seed("geojson", "lakes",
       "{\"type\": \"FeatureCollection\", \"features\": [\n"
       " {\"type\": \"Feature\", \"id\": 1, \"orvo:class\": \"LAKE\", \"properties\": {\"name\": "
       "\"Big lake\", \"depth\": 12.5},\n"
       "  \"geometry\": {\"type\": \"Polygon\", \"coordinates\": [\n"
       "    [[0, 0], [10, 0], [10, 10], [0, 10], [0, 0]], [[2, 2], [4, 2], [4, 4], [2, 2]]]}},\n"
       " {\"type\": \"Feature\", \"id\": 2, \"orvo:class\": \"LAKE\", \"properties\": {\"name\": "
       "\"Twin ponds\", \"ponds\": 2},\n"
       "  \"geometry\": {\"type\": \"MultiPolygon\", \"coordinates\": [\n"
       "    [[[20, 0], [21, 0], [21, 1], [20, 0]]], [[[30, 0], [31, 0], [31, 1], [30, 0]]]]}}]}\n");
  Seed("geojson", "typed",
       "{\"type\":\"FeatureCollection\",\"features\":[\r\n"
       "{\"type\":\"Feature\",\"id\":7,\"orvo:kind\":\"PNT\",\"orvo:user_id\":3,\"properties\":{"
       "\"n\":1,\"r\":-0.0,\"b\":\"00ff\",\"x\":\"nan\"},\"orvo:types\":{\"b\":\"blob\",\"x\":"
       "\"real\"},\"geometry\":{\"type\":\"Point\",\"coordinates\":[1.5,2.5,100]}},\r\n"
       "{\"type\":\"Feature\",\"orvo:kind\":\"MIX\",\"orvo:latin1\":true,\"orvo:no_attributes\":"
       "true,\"properties\":{},\"geometry\":{\"type\":\"GeometryCollection\",\"geometries\":[{"
       "\"type\":\"Point\",\"coordinates\":[0,0]},{\"type\":\"LineString\",\"coordinates\":[[0,0],["
       "1,1]]}]}},\r\n"
       "{\"type\":\"Feature\",\"id\":9,\"orvo:kind\":\"RGN\",\"orvo:open_rings\":true,"
       "\"properties\":{\"s\":\"caf\\u00e9\"},\"geometry\":{\"type\":\"MultiLineString\","
       "\"coordinates\":[[[0,0],[1,0],[1,1],[0,0]]]}}]}\r\n");
}

}  // namespace

// A palette file as SavePaletteRgb writes it, and a histogram file of three
// heights (8-byte magic, 64-bit size, 32-bit value width, 10-byte records).
void PaletteSeeds() {
  const std::string path = ScratchFile("seed.pal");
  const uint8_t rgb[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 10, 20, 30};
  Require(SavePaletteRgb(path.c_str(), rgb, 4), "no palette file");
  Seed("palette", "rgb", ReadScratch(path));
  auto le = [](uint64_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(v >> (8 * i));
    return s;
  };
  std::string histogram = "_hstgrmm" + le(20 + 3 * 10, 8) + le(2, 4);
  for (auto [value, count] : {std::pair<uint16_t, uint64_t>{0, 5}, {120, 3}, {9999, 1}}) {
    histogram += le(value, 2) + le(count, 8);
  }
  Seed("palette", "histogram", histogram);
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvo_fuzz_seeds OUTPUT_DIR\n");
    return 2;
  }
  g_out = argv[1];
  SpatialSeeds();
  AttributeSeeds();
  ClassifierSeeds();
  PassportSeeds();
  SelectionSeeds();
  RasterSeeds();
  ControlPointSeeds();
  TawsSeeds();
  PaletteSeeds();
  PgmSeeds();
  GeoJsonSeeds();
  return 0;
}
