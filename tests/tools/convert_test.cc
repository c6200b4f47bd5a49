// orvo convert: round trips text <-> binary <-> GeoJSON keep every record
// exactly; GeoJSON from elsewhere (holes, multi-geometries, missing ids);
// bad input gives one line, exit 1 and no output.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/layer_fixture.h"
#include "tests/tools/orvo_run.h"
#include "tools/orvo/command.h"
#include "tools/orvo/geojson.h"
#include "tools/orvo/geojson_runs.h"

namespace orvotest {
namespace {

namespace fs = std::filesystem;
using orvotool::Feature;

std::vector<Feature> EveryShape() {
  std::vector<Feature> all;
  Feature p = MakeFeature(1, 1, {{10.5, 20.25}});
  p.user_id = 5;
  p.class_code = "A1";
  p.attributes = {IntAttribute("LANES", -3), RealAttribute("WIDTH", 0.1 + 0.2),
                  StringAttribute("NAME", "Main \"high\" street \\ 1"),
                  BlobAttribute("RAW", std::string("\x01\xab\xff\x00", 4))};
  all.push_back(p);
  all.push_back(MakeFeature(-4, 1, {{1, 2}, {3, 4}, {-0.0, 1e-300}}));
  all.push_back(
      MakeFeature(3, 2, {{0, 0, 100, 1, 1, 101.5}, {2, 2, -7, 3, 3, 0, 4, 4, 9999}}, true));
  // Two polygons, the first with a hole; rings closed.
  all.push_back(MakeFeature(4, 3,
                            {{0, 0, 10, 0, 10, 10, 0, 10, 0, 0},
                             {2, 2, 4, 2, 4, 4, 2, 2},
                             {20, 20, 30, 20, 30, 30, 20, 20}}));
  all.push_back(MakeFeature(5, 3, {{0, 0, 1, 0, 1, 1}, {5, 5, 6, 5, 6, 6}}));  // open rings
  all.push_back(MakeFeature(6, 3, {{0, 0, 1, 0, 1, 1, 0, 0}, {5, 5, 6, 5}}));  // mixed
  all.push_back(MakeFeature(7, 4, {{1, 1, 2, 2}}));
  all.push_back(MakeFeature(8, 5, {{1, 1}, {2, 2, 3, 3, 4, 4}}));
  all.push_back(MakeFeature(9, 2, {{7, 7}}));  // a line of one vertex
  Feature odd = MakeFeature(10, 1, {{123456789.123456789, -98765.4321}});
  odd.class_code = "\xE9t\xE9";  // no UTF-8: Latin-1 bytes
  odd.attributes = {RealAttribute("N", std::numeric_limits<double>::quiet_NaN()),
                    RealAttribute("I", -std::numeric_limits<double>::infinity()),
                    StringAttribute("\xC4", "caf\xE9"), RealAttribute("WHOLE", 3.0)};
  all.push_back(odd);
  Feature bare = MakeFeature(11, 2, {{0, 0, 1, 1}});
  bare.has_attributes = false;
  all.push_back(bare);
  Feature utf8 = MakeFeature(12, 1, {{0, 0}});
  utf8.attributes = {StringAttribute("NAME", std::string("\xC3\x9C") + "ber")};
  all.push_back(utf8);
  return all;
}

TEST(OrvoConvert, BinaryGeoJsonBinaryKeepsEveryRecordExactly) {
  TempDir dir;
  const std::vector<Feature> layer = EveryShape();
  WriteLayer(dir.File("a.bspatial"), layer);
  OrvoRun out = Orvo({"convert", "--progress", dir.File("a.bspatial"), dir.File("a.geojson")});
  ASSERT_EQ(out.code, 0) << out.err;
  EXPECT_EQ(out.out,
            "converting " + dir.File("a.bspatial") + " to " + dir.File("a.geojson") +
                ": 0...10...20...30...40...50...60...70...80...90...100 - done.\n12 records\n");
  EXPECT_EQ(CodeAndErr({"convert", dir.File("a.geojson"), dir.File("b.battribute")}), "0 ");
  EXPECT_EQ(Difference(layer, ReadLayer(dir.File("b.bspatial"))), "");
  // Written again, the GeoJSON is byte for byte the same.
  ASSERT_EQ(Orvo({"convert", dir.File("b.bspatial"), dir.File("b.geojson")}).code, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("a.geojson")), ReadFileBytes(dir.File("b.geojson")));
  EXPECT_FALSE(fs::exists(dir.File("b.geojson.tmp")));
  const std::string json = ReadFileBytes(dir.File("a.geojson"));
  EXPECT_EQ(
      json.rfind("{\"type\":\"FeatureCollection\",\"features\":[\r\n{\"type\":\"Feature\",\"id\":1,"
                 "\"geometry\":{\"type\":\"Point\",\"coordinates\":[10.5,20.25]},\"properties\":"
                 "{\"LANES\":-3,\"WIDTH\":0.30000000000000004,\"NAME\":\"Main \\\"high\\\" street "
                 "\\\\ 1\",\"RAW\":\"01abff00\"},\"orvo:kind\":\"PNT\",\"orvo:user_id\":5,"
                 "\"orvo:class\":\"A1\",\"orvo:types\":{\"RAW\":\"blob\"}},\r\n",
                 0),
      0u)
      << json.substr(0, 400);
  for (const char* part :
       {"\"id\":-4,\"geometry\":{\"type\":\"MultiPoint\",\"coordinates\":[[1,2],[3,4],"
        "[-0.0,1e-300]]}",
        "{\"type\":\"MultiLineString\",\"coordinates\":[[[0,0,100],[1,1,101.5]],",
        "{\"type\":\"MultiPolygon\",\"coordinates\":[[[[0,0],[10,0],[10,10],[0,10],[0,0]],"
        "[[2,2],[4,2],[4,4],[2,2]]],[[[20,20],[30,20],[30,30],[20,20]]]]}",
        "[[[[0,0],[1,0],[1,1],[0,0]]],[[[5,5],[6,5],[6,6],[5,5]]]]},\"properties\":{},"
        "\"orvo:kind\":\"RGN\",\"orvo:user_id\":0,\"orvo:class\":\"\",\"orvo:open_rings\":true}",
        "\"id\":6,\"geometry\":{\"type\":\"GeometryCollection\"",
        "\"orvo:class\":\"\xC3\xA9t\xC3\xA9\"",
        "\"N\":\"nan\",\"I\":\"-inf\",\"\xC3\x84\":\"caf\xC3\xA9\",\"WHOLE\":3.0",
        "\"orvo:kind\":\"LIN\",\"orvo:no_attributes\":true}"})
    EXPECT_NE(json.find(part), std::string::npos) << part;
  EXPECT_EQ(json.substr(json.size() - 6), "\r\n]}\r\n");
}

// Features are formatted in batches on several threads: many batches still
// give the layer's order, and the first record GeoJSON cannot hold is the
// one reported even when a later batch fails too.
TEST(OrvoConvert, GeoJsonWrittenInBatchesKeepsOrderAndFirstFault) {
  TempDir dir;
  std::vector<Feature> layer;
  for (int32_t id = 1; id <= 5000; ++id) {
    Feature f = MakeFeature(id, 1, {{id * 0.5, -id * 0.25}});
    f.attributes = {IntAttribute("N", id)};
    layer.push_back(f);
  }
  WriteLayer(dir.File("a.bspatial"), layer);
  ASSERT_EQ(Orvo({"convert", dir.File("a.bspatial"), dir.File("a.geojson")}).code, 0);
  ASSERT_EQ(Orvo({"convert", dir.File("a.geojson"), dir.File("b.bspatial")}).code, 0);
  EXPECT_EQ(Difference(layer, ReadLayer(dir.File("b.bspatial"))), "");

  layer[4500].xy[1] = std::numeric_limits<double>::infinity();
  layer[3000].attributes.push_back(IntAttribute("N", 2));
  WriteLayer(dir.File("c.bspatial"), layer);
  EXPECT_EQ(CodeAndErr({"convert", dir.File("c.bspatial"), dir.File("c.geojson")}),
            "1 orvo convert: " + dir.File("c.geojson") +
                ": record 3001 has attribute N twice, which GeoJSON properties cannot hold\n");
  EXPECT_FALSE(fs::exists(dir.File("c.geojson")));
  EXPECT_FALSE(fs::exists(dir.File("c.geojson.tmp")));
  layer[3000].attributes.pop_back();
  WriteLayer(dir.File("c.bspatial"), layer);
  EXPECT_EQ(CodeAndErr({"convert", dir.File("c.bspatial"), dir.File("c.geojson")}),
            "1 orvo convert: " + dir.File("c.geojson") +
                ": record 4501 has a coordinate GeoJSON cannot hold\n");
}

TEST(OrvoConvert, TextAndBinaryFormsConvertBothWays) {
  TempDir dir;
  std::vector<Feature> layer = EveryShape();
  // The text form holds strings only, without line ends.
  for (Feature& f : layer)
    for (auto& a : f.attributes) {
      a.text = orvotool::ValueText(a);
      a.type = orvotool::kTypeString;
      a.integer = 0;
      a.real = 0;
      a.blob.clear();
    }
  layer[9].attributes[0].text = "nan";
  WriteLayer(dir.File("t.spatial"), layer);
  ASSERT_EQ(Orvo({"convert", dir.File("t.spatial"), dir.File("b.bspatial")}).code, 0);
  ASSERT_EQ(Orvo({"convert", dir.File("b.battribute"), dir.File("u.attribute")}).code, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("t.spatial")), ReadFileBytes(dir.File("u.spatial")));
  EXPECT_EQ(ReadFileBytes(dir.File("t.attribute")), ReadFileBytes(dir.File("u.attribute")));
  ASSERT_EQ(Orvo({"convert", dir.File("t.spatial"), dir.File("t.geojson")}).code, 0);
  ASSERT_EQ(Orvo({"convert", dir.File("t.geojson"), dir.File("v.spatial")}).code, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("t.attribute")), ReadFileBytes(dir.File("v.attribute")));
}

TEST(OrvoConvert, ReadsGeoJsonWrittenElsewhere) {
  TempDir dir;
  WriteFileBytes(
      dir.File("hand.geojson"),
      "{ \"type\": \"FeatureCollection\",\n  \"features\": [\n"
      "  { \"type\": \"Feature\", \"properties\": { \"name\": \"lake\", \"area\": 2.5, "
      "\"deep\": true, \"n\": 12, \"big\": 5000000000, \"x\": null, \"tags\": [1, 2], "
      "\"coordinates\": [3, {\"a\": 1}] },\n"
      "    \"geometry\": { \"type\": \"Polygon\", \"coordinates\": [\n"
      "      [[0,0],[10,0],[10,10],[0,10],[0,0]], [[2,2],[2,4],[4,4],[2,2]] ] } },\n"
      "  { \"type\": \"Feature\", \"id\": 40, \"properties\": {},\n"
      "    \"geometry\": { \"type\": \"MultiPolygon\", \"coordinates\": [\n"
      "      [[[0,0,1],[1,0,2],[1,1,3],[0,0,1]]], [[[5,5,1],[6,5,1],[6,6,1],[5,5,1]]] ] } },\n"
      "  { \"type\": \"Feature\", \"id\": \"41\", \"properties\": null,\n"
      "    \"geometry\": { \"type\": \"GeometryCollection\", \"geometries\": [\n"
      "      { \"type\": \"Point\", \"coordinates\": [1, 2, 7, {\"m\": [1]}] },\n"
      "      { \"type\": \"MultiLineString\", \"coordinates\": [[[0,0],[1,1,5]]] } ] } }\n"
      "  ] }\n");
  OrvoRun run = Orvo({"convert", dir.File("hand.geojson"), dir.File("h.bspatial")});
  ASSERT_EQ(run.code, 0) << run.err;
  Feature lake = MakeFeature(42, 3, {{0, 0, 10, 0, 10, 10, 0, 10, 0, 0}, {2, 2, 2, 4, 4, 4, 2, 2}});
  lake.attributes = {StringAttribute("name", "lake"),
                     RealAttribute("area", 2.5),
                     StringAttribute("deep", "true"),
                     IntAttribute("n", 12),
                     RealAttribute("big", 5e9),
                     StringAttribute("tags", "[1,2]"),
                     StringAttribute("coordinates", "[3,{\"a\":1}]")};
  // The lake takes the id after the largest one given. In the collection one
  // position without height means no heights for the record; what follows
  // the third number of a position is not read.
  const std::vector<Feature> want = {
      lake,
      MakeFeature(40, 3,
                  {{0, 0, 1, 1, 0, 2, 1, 1, 3, 0, 0, 1}, {5, 5, 1, 6, 5, 1, 6, 6, 1, 5, 5, 1}},
                  true),
      MakeFeature(41, 5, {{1, 2}, {0, 0, 1, 1}})};
  EXPECT_EQ(Difference(want, ReadLayer(dir.File("h.bspatial"))), "");
}

// What a reading of text gave: the features the sink saw, in order, and the
// message it ended with ("" when it ended well).
struct Reading {
  std::vector<Feature> features;
  std::string error;
};

Reading ReadText(const std::string& text, int workers, size_t run_bytes) {
  Reading r;
  orvotool::Progress progress(nullptr, false, 1);
  orvotool::GeoJsonReading how;
  how.workers = workers;
  how.run_bytes = run_bytes;
  try {
    orvotool::ReadGeoJsonText(
        "t.geojson", text.data(), text.size(), progress,
        [&](const Feature& f) { r.features.push_back(f); }, how);
  } catch (const orvotool::InputError& e) {
    r.error = e.problem;
  }
  return r;
}

TEST(OrvoConvert, ReadsASingleFeatureAndMembersInAnyOrder) {
  auto only = [](const std::string& text) {
    const Reading r = ReadText(text, 0, 0);
    EXPECT_EQ(r.error, "");
    return r.features;
  };
  Feature want = MakeFeature(8, 2, {{1, 2, 3, 4}});
  want.attributes = {StringAttribute("k", "v")};
  EXPECT_EQ(Difference({want}, only("{\"geometry\": {\"coordinates\": [[1, 2], [3, 4]], \"type\": "
                                    "\"LineString\"}, \"properties\": {\"k\": \"v\"}, \"type\": "
                                    "\"Feature\", \"id\": 8}")),
            "");
  // The collection's type after its features, and a "features" member inside a feature.
  EXPECT_EQ(Difference({MakeFeature(3, 1, {{5, 6}})},
                       only("{\"features\": [{\"type\": \"Feature\", \"id\": 3, \"features\": "
                            "[1], \"geometry\": {\"type\": \"Point\", \"coordinates\": [5, 6]}}],"
                            " \"type\": \"FeatureCollection\"}")),
            "");
  // Numbers at the edges of a double: an underflow reads as zero, a
  // subnormal and the shortest text of the largest double exactly.
  EXPECT_EQ(Difference({MakeFeature(2, 1, {{0, -2.5e-320}, {1.7976931348623157e308, 1}})},
                       only("{\"type\":\"Feature\",\"id\":2,\"geometry\":{\"type\":"
                            "\"MultiPoint\",\"coordinates\":[[1e-400,-2.5E-320],"
                            "[1.7976931348623157e308,0.1e1]]}}")),
            "");
}

// Runs parsed on worker threads give what one pass gives, feature for
// feature and message for message, whatever the cuts: cuts inside
// collections of geometries, nested objects, strings and the members after
// the features array, and bad input anywhere.
TEST(OrvoConvert, GeoJsonReadInRunsIsReadInOnePass) {
  auto point = [](int id, const std::string& extra = "") {
    return "{\"type\":\"Feature\"" + (id != 0 ? ",\"id\":" + std::to_string(id) : "") +
           ",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" + std::to_string(id) + ",2]}" +
           extra + "}";
  };
  // Plain features first, each cut between its neighbours clean; the cuts
  // inside the last few do not parse and leave the rest to one pass.
  std::string plain, tricky;
  for (int i = 1; i <= 24; ++i) {
    const std::string extra = i % 7 == 0 ? ",\"orvo:kind\":\"MIX\"" : "";
    plain += (i > 1 ? (i % 3 == 0 ? " ,\n " : ",") : "") + point(i % 11 == 0 ? 0 : i, extra);
  }
  tricky = plain + "," +
           point(30, ",\"properties\":{\"tags\":[{\"a\":1} , {\"b\":\"},{\"}],\"s\":\"x},{y\"}") +
           ",{\"type\":\"Feature\",\"id\":90,\"geometry\":{\"type\":\"GeometryCollection\","
           "\"geometries\":[{\"type\":\"Point\",\"coordinates\":[1,2]},{\"type\":"
           "\"LineString\",\"coordinates\":[[0,0],[1,1]]}]}}," +
           point(31);
  const std::string head = "{\"type\":\"FeatureCollection\",\"name\":\"n\",\"features\":[";
  const std::string tail = "],\"extra\":[{\"x\":1},{\"y\":2}]}";
  const std::string good = head + plain + tail;
  auto replace = [&](std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
  };
  const std::vector<std::string> documents = {
      good,
      head + tricky + tail,
      head + plain + "]}",
      "{\"features\":[" + plain + "],\"type\":\"FeatureCollection\"}",
      "{\"type\":\"Feature\",\"features\":[" + plain + "]}",
      head + plain + "],\"features\":[" + point(70) + "]}",
      "{\"type\":\"FeatureCollection\",\"feat\\u0075res\":[" + plain + "]}",
      replace(good, "\"id\":9,", "\"id\":9,\"properties\":7,"),  // a bad feature
      replace(good, "},{\"type\":\"Feature\",\"id\":17", "}{\"type\":\"Feature\",\"id\":17"),
      replace(good, "{\"y\":2}", "{\"y\":2"),  // a syntax error after the features
      good.substr(0, good.size() / 2),         // cut short
      replace(good, "\"id\":20,", "\"id\":0,"),
  };
  int parallel = 0;
  for (const std::string& text : documents) {
    SCOPED_TRACE(text);
    const Reading once = ReadText(text, 0, 0);
    orvotool::FeatureRuns runs;
    if (orvotool::FindFeatureRuns(text.data(), text.size(), 7, &runs) && runs.starts.size() > 10)
      ++parallel;
    for (const int workers : {1, 3}) {
      for (const size_t run_bytes : {size_t{1}, size_t{7}, size_t{60}}) {
        SCOPED_TRACE(testing::Message() << workers << " workers, runs of " << run_bytes);
        const Reading runs_read = ReadText(text, workers, run_bytes);
        EXPECT_EQ(runs_read.error, once.error);
        EXPECT_EQ(Difference(once.features, runs_read.features), "");
      }
    }
  }
  EXPECT_GE(parallel, 8);
  EXPECT_EQ(ReadText(good, 0, 0).features.size(), 24u);
  EXPECT_EQ(ReadText(documents[1], 0, 0).features.size(), 27u);
  EXPECT_EQ(ReadText(documents[7], 0, 0).error, "feature 9 properties is no object");
}

TEST(OrvoConvert, BadInputIsOneLineExitOneAndLeavesNothing) {
  TempDir dir;
  const std::string good =
      "{\"type\":\"Feature\",\"id\":1,\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,2]}}";
  auto second = [&](const std::string& geometry, const std::string& more = "") {
    return "{\"type\":\"FeatureCollection\",\"features\":[" + good + ",{\"type\":\"Feature\"" +
           more + ",\"geometry\":" + geometry + "}]}";
  };
  const std::pair<std::string, const char*> cases[] = {
      {"{\"type\":\"FeatureCollection\",\"features\":[", "is no JSON (at byte 41)"},
      {"[1,2]", "is no GeoJSON FeatureCollection or Feature"},
      {second("null"), "feature 2 has no geometry"},
      {second("{\"type\":\"Point\",\"coordinates\":[1]}"),
       "feature 2 position is no array of 2 or 3 numbers"},
      {second("{\"type\":\"Circle\",\"coordinates\":[]}"),
       "feature 2 geometry type Circle is unknown"},
      {second("{\"type\":\"Point\",\"coordinates\":[1,2]}", ",\"id\":0"),
       "feature 2 id 0 is no layer id"},
      {second("{\"type\":\"MultiPoint\",\"coordinates\":[]}"), "feature 2 geometry is empty"},
      {second("{\"type\":\"LineString\",\"coordinates\":[[1,2],[3,{\"x\":[4]}]]}"),
       "feature 2 position holds something other than numbers"},
      {second("{\"type\":\"Polygon\",\"coordinates\":[5]}"),
       "feature 2 line is no array of positions"},
  };
  for (const auto& [json, message] : cases) {
    WriteFileBytes(dir.File("bad.geojson"), json);
    OrvoRun run = Orvo({"convert", dir.File("bad.geojson"), dir.File("out.bspatial")});
    EXPECT_EQ(run.code, 1) << json;
    EXPECT_EQ(run.err, "orvo convert: " + dir.File("bad.geojson") + ": " + message + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(FilesIn(dir.path()), std::set<std::string>{"bad.geojson"});
  }

  EXPECT_EQ(CodeAndErr({"convert", dir.File("none.bspatial"), dir.File("x.geojson")}),
            "1 orvo convert: " + dir.File("none.bspatial") + ": no such file\n");
  WriteFileBytes(dir.File("d.spatial"), "PNT 1\r\n1\r\n1\r\n1,2\r\n\r\nXYZ 3\r\n1\r\n");
  EXPECT_EQ(CodeAndErr({"convert", dir.File("d.spatial"), dir.File("d.geojson")}),
            "1 orvo convert: " + dir.File("d.spatial") + ": error in spatial file\n");
  EXPECT_EQ(FilesIn(dir.path()), (std::set<std::string>{"bad.geojson", "d.spatial"}));
  EXPECT_EQ(Orvo({"convert", dir.File("d.spatial"), dir.File("d.attribute")}).code, 2);
}

TEST(OrvoConvert, RefusesWhatTheTargetFormCannotHold) {
  TempDir dir;
  auto feature = [](const std::string& properties) {
    return "{\"type\":\"Feature\",\"id\":4,\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,2]},"
           "\"properties\":" +
           properties + "}";
  };
  auto convert = [&](const std::string& json, const std::string& out) {
    WriteFileBytes(dir.File("in.geojson"), json);
    return Orvo({"convert", dir.File("in.geojson"), dir.File(out)});
  };
  // A line end in a value: the binary form keeps it, the text form cannot.
  const std::string line_end = feature("{\"NOTE\":\"two\\r\\nlines\"}");
  ASSERT_EQ(convert(line_end, "b.bspatial").code, 0);
  EXPECT_EQ(ReadLayer(dir.File("b.bspatial"))[0].attributes[0].text, "two\r\nlines");
  OrvoRun text = convert(line_end, "t.spatial");
  EXPECT_EQ(text.code, 1);
  EXPECT_EQ(text.err,
            "orvo convert: " + dir.File("t.attribute") +
                ": record 4 has a line end in attribute NOTE, which the text form cannot hold\n");
  EXPECT_FALSE(fs::exists(dir.File("t.spatial")));
  EXPECT_EQ(convert(feature("{\"A,B\":1}"), "t.spatial").code, 1);
  EXPECT_EQ(convert(feature("{\"A\":\"" + std::string(3000, 'x') + "\"}"), "t.spatial").code, 1);
  OrvoRun nul = convert(feature("{\"A\":\"a\\u0000b\"}"), "n.bspatial");
  EXPECT_EQ(nul.code, 1);
  EXPECT_EQ(nul.err,
            "orvo convert: " + dir.File("n.battribute") + ": record 4 has a NUL in attribute A\n");
}

// GeoJSON reading member by member: a feature keeps nothing of the feature
// read before it (buffers are reused from feature to feature and from run to
// run), a member given twice keeps its last value, members the reader does
// not use are passed over whatever they hold, and each member of the wrong
// kind has its message.
std::string Collection(const std::vector<std::string>& features) {
  std::string text = "{\"type\":\"FeatureCollection\",\"features\":[";
  for (size_t i = 0; i < features.size(); ++i) text += (i > 0 ? ",\n" : "") + features[i];
  return text + "]}";
}

TEST(GeoJsonFields, EachFeatureKeepsNothingOfTheOneBefore) {
  const std::string text = Collection({
      // Every foreign member, typed properties, Latin-1 texts, heights.
      "{\"type\":\"Feature\",\"id\":1,\"orvo:latin1\":true,\"orvo:kind\":\"TXT\","
      "\"orvo:user_id\":7,\"orvo:class\":\"caf\\u00e9\",\"orvo:types\":{\"b\":\"blob\","
      "\"r\":\"real\"},\"orvo:no_attributes\":true,\"geometry\":{\"type\":"
      "\"GeometryCollection\",\"geometries\":[{\"type\":\"Point\",\"coordinates\":[1,2,3]},"
      "{\"type\":\"LineString\",\"coordinates\":[[0,0,1],[1,1,2]]}]},\"properties\":{\"b\":"
      "\"00ff\",\"r\":\"inf\",\"n\":5,\"s\":\"\\u00e9t\\u00e9\",\"o\":{\"x\":[1]}}}",
      // None of them: the same property names are plain text now.
      "{\"type\":\"Feature\",\"id\":2,\"geometry\":{\"type\":\"Point\",\"coordinates\":[5,6]},"
      "\"properties\":{\"s\":\"plain\",\"b\":\"00ff\"}}",
      // No properties; rings open in the layer.
      "{\"type\":\"Feature\",\"id\":3,\"geometry\":{\"coordinates\":[[[0,0],[1,0],[1,1],[0,0]]],"
      "\"type\":\"Polygon\"},\"orvo:open_rings\":true}",
      // Members twice (the last counts; a property keeps its first place), and
      // members passed over that look like the ones read.
      "{\"type\":\"Feature\",\"id\":4,\"id\":5,\"geometry\":null,\"geometry\":{\"type\":\"Point\","
      "\"coordinates\":\"x\",\"coordinates\":[7,8]},\"properties\":{\"a\":1,\"b\":2,\"a\":"
      "\"last\"},\"orvo:kind\":\"PNT\",\"orvo:kind\":\"MIX\",\"skip\":{\"geometry\":{\"type\":"
      "\"Circle\"},\"features\":[1]},\"features\":[{\"type\":\"Feature\"}]}",
      // Null properties after some.
      "{\"type\":\"Feature\",\"id\":6,\"properties\":null,\"geometry\":{\"type\":\"MultiPoint\","
      "\"coordinates\":[[1,1],[2,2]]}}",
  });
  std::vector<Feature> want;
  Feature f = MakeFeature(1, 4, {{1, 2, 3}, {0, 0, 1, 1, 1, 2}}, true);
  f.user_id = 7;
  f.class_code = "caf\xe9";
  f.has_attributes = false;
  f.attributes = {BlobAttribute("b", std::string("\x00\xff", 2)),
                  RealAttribute("r", std::numeric_limits<double>::infinity()), IntAttribute("n", 5),
                  StringAttribute("s", "\xe9t\xe9"), StringAttribute("o", "{\"x\":[1]}")};
  want.push_back(f);
  f = MakeFeature(2, 1, {{5, 6}});
  f.attributes = {StringAttribute("s", "plain"), StringAttribute("b", "00ff")};
  want.push_back(f);
  want.push_back(MakeFeature(3, 3, {{0, 0, 1, 0, 1, 1}}));
  f = MakeFeature(5, 5, {{7, 8}});
  f.attributes = {StringAttribute("a", "last"), IntAttribute("b", 2)};
  want.push_back(f);
  want.push_back(MakeFeature(6, 1, {{1, 1}, {2, 2}}));
  // In one pass, and in runs of one feature each on workers that reuse the
  // features of runs read before.
  for (const int workers : {0, 2}) {
    SCOPED_TRACE(workers);
    const Reading got = ReadText(text, workers, 1);
    EXPECT_EQ(got.error, "");
    EXPECT_EQ(Difference(want, got.features), "");
  }
}

TEST(GeoJsonFields, MembersOfTheWrongKindAreTold) {
  const std::string point = "\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,2]}";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\"geometry\":\"x\"", "geometry is no object"},
      {"\"geometry\":[{\"type\":\"Point\",\"coordinates\":[1,2]}]", "geometry is no object"},
      {point + ",\"geometry\":null", "has no geometry"},
      {point + ",\"properties\":[1]", "properties is no object"},
      {point + ",\"properties\":\"p\"", "properties is no object"},
      {"\"id\":\"00\"," + point, "id is no 32-bit integer"},
      {"\"id\":{\"v\":3}," + point, "id is no 32-bit integer"},
      {"\"id\":\"0\"," + point, "id 0 is no layer id"},
      {"\"id\":0.0," + point, "id 0 is no layer id"},
      {"\"orvo:user_id\":\"5\"," + point, "orvo:user_id is no 32-bit integer"},
      {"\"orvo:class\":[\"c\"]," + point, "orvo:class is no string"},
      {"\"orvo:kind\":{\"k\":1}," + point, "orvo:kind is no string"},
      {"\"geometry\":{\"type\":\"Point\",\"coordinates\":[1,2],\"coordinates\":{\"a\":1}}",
       "Point has no coordinates"},
      {"\"geometry\":{\"type\":{\"t\":1},\"coordinates\":[1,2]}", "geometry has no type"},
      {"\"geometry\":{\"type\":\"GeometryCollection\",\"geometries\":{\"type\":\"Point\"}}",
       "GeometryCollection has no geometries array"},
      {point + ",\"orvo:types\":{\"b\":\"blob\"},\"properties\":{\"b\":7}", "blob b is no string"},
      // The key is read before its value is known to be null.
      {point + ",\"orvo:latin1\":true,\"properties\":{\"\\u20ac\":null}",
       "orvo:latin1 text holds a character above U+00FF"},
  };
  const std::string first =
      "{\"type\":\"Feature\",\"id\":1,\"properties\":{\"k\":\"v\"}," + point + "}";
  for (const auto& [members, message] : cases) {
    SCOPED_TRACE(members);
    EXPECT_EQ(ReadText(Collection({first, "{\"type\":\"Feature\"," + members + "}"}), 0, 0).error,
              "feature 2 " + message);
    // The type given last, as a lone Feature.
    EXPECT_EQ(ReadText("{" + members + ",\"type\":\"Feature\"}", 0, 0).error,
              "feature 1 " + message);
  }
  EXPECT_EQ(ReadText(Collection({first, "{\"type\":[\"Feature\"]," + point + "}"}), 0, 0).error,
            "feature 2 is no Feature");
  EXPECT_EQ(ReadText(Collection({first, "[1]"}), 0, 0).error, "feature 2 is no object");
}

}  // namespace
}  // namespace orvotest
