// orvo info, dump, check, dem and pixel: exact output on small files of each
// kind, and one clear line with exit 1 for files they cannot use.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/pgm_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/layer_fixture.h"
#include "tests/tools/orvo_run.h"

namespace orvotest {
namespace {

using Json = nlohmann::ordered_json;
using orvotool::Feature;

std::vector<Feature> Roads() {
  Feature a = MakeFeature(2, 2, {{0, 0, 10, 5}});
  a.class_code = "ROAD";
  a.user_id = 20;
  a.attributes = {IntAttribute("LANES", 2), StringAttribute("NAME", "A1")};
  Feature b = MakeFeature(1, 1, {{-3, 7, 1}}, true);
  b.class_code = "WELL";
  b.attributes = {RealAttribute("DEPTH", 12.5)};
  Feature c = MakeFeature(3, 2, {{1, 1, 2, 2}});
  c.class_code = "ROAD";
  c.attributes = {IntAttribute("LANES", 9), StringAttribute("COLOUR", "red")};
  return {a, b, c};
}

Json InfoOf(const std::string& path) {
  OrvoRun run = Orvo({"info", path, "--json"});
  EXPECT_EQ(run.code, 0) << run.err;
  return Json::parse(run.out);
}

TEST(OrvoInfo, LayerInBothFormsWithPassport) {
  TempDir dir;
  WriteLayer(dir.File("roads.bspatial"), Roads());
  HMP mp = CreateMP();
  ASSERT_TRUE(FindMP(mp, dir.File("roads.bspatial").c_str(), true));
  AddAttributeMP(mp, "source", "survey");
  ASSERT_TRUE(SaveMP(mp));
  FreeMP(mp);
  Json j = InfoOf(dir.File("roads.battribute"));
  EXPECT_EQ(j["spatial"]["path"], dir.File("roads.bspatial"));
  for (const char* key : {"file", "spatial", "attribute"}) j.erase(key);
  j["passport"].erase("path");
  EXPECT_EQ(j.dump(),
            R"({"kind":"layer","form":"binary","records":3,"vertices":5,"kinds":{"PNT":1,"LIN":2},)"
            R"("with_heights":1,"bound":[-3.0,0.0,10.0,7.0],"with_attributes":3,)"
            R"("classes":["ROAD","WELL"],"attributes":{"COLOUR":["string"],"DEPTH":["real"],)"
            R"("LANES":["int"],"NAME":["string"]},"index":null,"passport":{"alias":"roads",)"
            R"("bound":[-3.0,0.0,10.0,7.0],"properties":{"SOURCE":"survey"}}})");

  ASSERT_EQ(Orvo({"convert", dir.File("roads.bspatial"), dir.File("t.spatial")}).code, 0);
  const Json t = InfoOf(dir.File("t.spatial"));
  EXPECT_EQ(t["form"], "text");
  EXPECT_EQ(t["attributes"]["LANES"].dump(), R"(["string"])");
  OrvoRun text = Orvo({"info", dir.File("t.spatial")});
  EXPECT_NE(text.out.find("\nrecords: 3\nvertices: 5\nkinds:\n  PNT: 1\n  LIN: 2\n"),
            std::string::npos)
      << text.out;
}

TEST(OrvoInfo, RasterClassifierControlPoints) {
  TempDir dir;
  const std::string raster = dir.File("dem.raster");
  ASSERT_TRUE(CreateRaster(raster.c_str(), 300, 200, 256, 256, 2, 264));
  ASSERT_TRUE(CreateRaster(dir.File("dem.r2").c_str(), 150, 100, 256, 256, 2, 264));
  const BOUND bound{1000, 2000, 1299, 2199};
  ASSERT_TRUE(WriteRasterBound((raster + ".corners").c_str(), 300, 200, &bound));
  Json r = InfoOf(raster);
  // The centre of pixel (0, 0): 299 units over 300 pixels (fitted, so compared within 1e-6).
  EXPECT_NEAR(r["transform"]["origin"][0].get<double>(), 1000.4983333333, 1e-6);
  EXPECT_EQ(r["previews"][0]["path"], dir.File("dem.r2"));
  r.erase("file");
  r.erase("transform");
  r["previews"][0].erase("path");
  EXPECT_EQ(r.dump(), R"({"kind":"raster","size":262408,"width":300,"height":200,"pixel_size":2,)"
                      R"("tile_width":256,"tile_height":256,"tiles_across":2,"tiles_down":1,)"
                      R"("head_size":264,"layout":"fixed","tiles":{"raw":2,"rle":0,"absent":0},)"
                      R"("compression":"none","previews":[{"width":150,"height":100}]})");
  const Json c = InfoOf(raster + ".corners");
  EXPECT_EQ(c["kind"], "control_points");
  EXPECT_EQ(c["count"], 4);
  EXPECT_EQ(c["points"][2].dump(), R"({"map":[1298.5016666667,2000.4975],"pixel":[299.0,199.0]})");

  WriteFileBytes(dir.File("map.cls"),
                 "[feature.road]\r\nname1=Road\r\nlocal=LIN\r\nattributes=LANES NAME\r\n"
                 "[attribute.lanes]\r\nname1=Lanes\r\ntype=int\r\nmin=\"1\"\r\nmax=\"8\"\r\n"
                 "[attribute.name]\r\nname1=Name\r\ntype=string\r\n");
  Json k = InfoOf(dir.File("map.cls"));
  k.erase("file");
  EXPECT_EQ(k.dump(),
            R"({"kind":"classifier","features":[{"id":"ROAD","name":"Road","local":"LIN",)"
            R"("attributes":["LANES","NAME"]}],"attributes":[{"id":"LANES","name":"Lanes",)"
            R"("type":1,"values":0,"min":"1","max":"8"},{"id":"NAME","name":"Name","type":5,)"
            R"("values":0}],"groups":[],"graphs":[]})");
}

TEST(OrvoInfo, SelectionsPalettesHistogramsAndSignLibraries) {
  TempDir dir;
  HSE se = CreateSE();
  for (int32_t id : {5, -2, 40}) AddSE(se, id);
  ASSERT_TRUE(SaveSE(se, dir.File("picked.sel").c_str()));
  FreeSE(se);
  const uint8_t rgb[9] = {255, 0, 0, 0, 255, 0, 255, 0, 0};
  ASSERT_TRUE(SavePaletteRgb(dir.File("three.pal").c_str(), rgb, 3));
  const auto red = [](int32_t, int32_t) -> uint32_t { return 0xFF0000; };
  std::string not_bmp = BmpImage(2, 2, red);
  not_bmp[0] = 'X';
  WriteFileBytes(dir.File("signs.pgm"), PgmFile(PgmRecord("Zred", 1, 1, 3, 2, BmpImage(3, 2, red)) +
                                                PgmRecord("broken", 0, 0, 2, 2, not_bmp)));
  IDemHistogramm* histogram = CreateDemHistogramm();  // two counted heights
  const uint16_t heights[] = {0, 100, 100};
  ASSERT_TRUE(histogram->BuildFromValues(heights, 3));
  ASSERT_TRUE(histogram->Save(dir.File("dem.hst").c_str()));
  histogram->Release();
  const std::pair<const char*, Json> cases[] = {
      {"picked.sel", {{"kind", "selection"}, {"ids", 3}, {"first", -2}, {"last", 40}}},
      {"three.pal", {{"kind", "palette"}, {"entries", 3}, {"distinct_colors", 2}}},
      {"signs.pgm",
       {{"kind", "signs"},
        {"signs", 2},
        {"widths", Json::array({3, 2})},
        {"damaged_signs", Json::array({1})}}},
      {"dem.hst",
       {{"kind", "histogram"}, {"values", 2}, {"entries", 65536}, {"distinct_colors", 104}}},
  };
  for (const auto& [name, want] : cases) {
    Json got = InfoOf(dir.File(name));
    EXPECT_EQ(got["file"], dir.File(name));
    got.erase("file");
    EXPECT_EQ(got.dump(), want.dump());
  }
}

TEST(OrvoInfo, FilesItCannotUseGiveOneLine) {
  TempDir dir;
  WriteFileBytes(dir.File("notes.txt"), "hello\r\n");
  WriteFileBytes(dir.File("broken.raster"), std::string("_raster_") + std::string(40, '\x7f'));
  WriteFileBytes(dir.File("x.bspatial"), "not binary at all");
  WriteFileBytes(dir.File("cut.taws"), std::string(100, '\0'));
  WriteFileBytes(dir.File("short.pal"), std::string("palette_") + std::string(4, '\0'));
  WriteFileBytes(dir.File("image.pgm"), "P5\n2 2\n255\n\1\2\3\4\5\6\7\10\11\12\13\14");
  const std::pair<const char*, const char*> cases[] = {
      {"notes.txt",
       "is no kind of file orvo knows (layer, classifier, selection, raster, tile list, terrain "
       "tile, control points, palette, histogram, sign library)"},
      {"cut.taws", "wrong file format"},
      {"gone.raster", "no such file"},
      {"broken.raster", "raster head is damaged"},
      {"x.bspatial", "is no spatial file of a layer"},
      {"short.pal", "palette file is damaged"},
      {"image.pgm", "is no sign library, or a damaged one"}};
  for (const auto& [name, message] : cases) {
    EXPECT_EQ(CodeAndErr({"info", dir.File(name)}),
              "1 orvo info: " + dir.File(name) + ": " + message + "\n");
  }
}

TEST(OrvoDumpAndCheck, RecordsInTextAndJsonByIdAndFailingValues) {
  TempDir dir;
  WriteLayer(dir.File("roads.bspatial"), Roads());
  OrvoRun text = Orvo({"dump", dir.File("roads.bspatial"), "--ids", "1-2"});
  ASSERT_EQ(text.code, 0) << text.err;
  EXPECT_EQ(
      text.out,
      "LIN 2 user 20 class \"ROAD\"\n  vector 0: 0,0 10,5\n  LANES (int) = 2\n"
      "  NAME (string) = A1\n"
      "PNT 1 with heights user 0 class \"WELL\"\n  vector 0: -3,7,1\n  DEPTH (real) = 12.5\n");
  OrvoRun json = Orvo({"dump", dir.File("roads.bspatial"), "--json", "--ids=3"});
  ASSERT_EQ(json.code, 0);
  EXPECT_EQ(json.out,
            "[\n{\"id\":3,\"kind\":\"LIN\",\"has_z\":false,\"vectors\":[[[1.0,1.0],[2.0,2.0]]],"
            "\"user_id\":0,\"class\":\"ROAD\",\"attributes\":[{\"id\":\"LANES\",\"type\":\"int\","
            "\"value\":\"9\"},{\"id\":\"COLOUR\",\"type\":\"string\",\"value\":\"red\"}]}\n]\n");
  EXPECT_EQ(Orvo({"dump", dir.File("roads.bspatial"), "--ids", "5-2"}).code, 2);
  // orvo check of the same layer reports every failing value with its reason.
  WriteFileBytes(dir.File("map.cls"),
                 "[feature.ROAD]\r\nname1=Road\r\nlocal=LIN\r\nattributes=LANES NAME\r\n"
                 "[attribute.LANES]\r\nname1=Lanes\r\ntype=int\r\nmin=\"1\"\r\nmax=\"8\"\r\n"
                 "[attribute.NAME]\r\nname1=Name\r\ntype=string\r\n"
                 "[attribute.COLOUR]\r\nname1=Colour\r\ntype=string\r\n");
  OrvoRun run = Orvo({"check", dir.File("map.cls"), dir.File("roads.bspatial")});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(
      run.out,
      "1 WELL class: class code is not in the classifier\n3 ROAD LANES=9: value not in range\n"
      "3 ROAD COLOUR=red: attribute does not belong to the feature\n"
      "3 records, 4 values, 3 failing\n");
  EXPECT_EQ(CodeAndErr({"check", dir.File("none.cls"), dir.File("roads.bspatial")}),
            "1 orvo check: " + dir.File("none.cls") + ": is no classifier\n");
}

TEST(OrvoDemAndPixel, HeightsAtMapPositionsAndPixelBytes) {
  TempDir dir;
  const std::string path = dir.File("h.raster");
  ASSERT_NE(MakeRaster(path, 4, 4, 4, 4, 2,
                       [](int32_t x, int32_t y) -> uint32_t {
                         return x == 3 && y == 3 ? 9999
                                                 : static_cast<uint16_t>(100 * x + 10 * y - 50);
                       }),
            nullptr);
  const BOUND bound{0, 0, 3, 3};
  ASSERT_TRUE(WriteRasterBound((path + ".corners").c_str(), 4, 4, &bound));
  OrvoRun dem = Orvo({"dem", path, "0", "3", "3", "0", "0.5", "3"});
  ASSERT_EQ(dem.code, 0) << dem.err;
  // Row 0 lies at the bound's top (y = 3); (3, 0) is the no-data corner. The
  // height between pixels comes from a fitted transform, its last digit from the FPU.
  ITransformedRaster* d = OpenDem(path.c_str());
  ASSERT_NE(d, nullptr);
  const std::string between = orvotool::ValueText(RealAttribute("", DemHeight(d, 0.5, 3)));
  CloseDem(d);
  EXPECT_EQ(dem.out, "0 3 -50\n3 0 no-data\n0.5 3 " + between + "\n");
  OrvoRun pixel = Orvo({"pixel", path, "2", "1"});
  EXPECT_EQ(pixel.out, "2 1 a000 160\n");
  OrvoRun outside = Orvo({"pixel", path, "4", "0"});
  EXPECT_EQ(outside.code, 2);
  EXPECT_EQ(outside.err.rfind("orvo pixel: pixel 4 0 is outside the 4 x 4 raster\n", 0), 0u);
  EXPECT_EQ(Orvo({"dem", dir.File("none.raster"), "1", "2"}).code, 1);
}

}  // namespace
}  // namespace orvotest
