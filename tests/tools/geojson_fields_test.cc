// GeoJSON reading member by member: a feature keeps nothing of the feature
// read before it (buffers are reused from feature to feature and from run to
// run), a member given twice keeps its last value, members the reader does
// not use are passed over whatever they hold, and each member of the wrong
// kind has its message.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/tools/layer_fixture.h"
#include "tools/orvo/command.h"
#include "tools/orvo/geojson.h"

namespace orvotest {
namespace {

using orvotool::Feature;

struct Read {
  std::vector<Feature> features;
  std::string error;  // "" when the text was read whole
};

Read ReadText(const std::string& text, int workers, size_t run_bytes) {
  Read r;
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
    const Read got = ReadText(text, workers, 1);
    EXPECT_EQ(got.error, "");
    ASSERT_EQ(got.features.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
      EXPECT_EQ(Difference(want[i], got.features[i]), "") << i;
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
