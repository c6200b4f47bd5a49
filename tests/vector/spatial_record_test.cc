// Kinds, record checks and number rules of the spatial files.
#include "vector/spatial_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "vector/binary_attribute_reader.h"
#include "vector/binary_attribute_writer.h"
#include "vector/binary_spatial_reader64.h"
#include "vector/binary_spatial_writer.h"
#include "vector/text_attribute_reader.h"
#include "vector/text_attribute_writer.h"
#include "vector/text_spatial_reader.h"
#include "vector/text_spatial_writer.h"

namespace orvo {
namespace {

using orvotest::Raised;

// Every reader of a missing file and every writer into a missing directory.
TEST(VectorFiles, UnreachableFilesRaiseCantOpenFile) {
  orvotest::TempDir dir;
  const std::string none = dir.File("none");
  const std::string nowhere = dir.File("no/dir/layer");
  const std::function<void()> opens[] = {[&] { TSpatialReader r(none.c_str()); },
                                         [&] { TBinarySpatialReader64 r(none.c_str()); },
                                         [&] { TAttributeReader r(none.c_str()); },
                                         [&] { TBinaryAttributeReader r(none.c_str()); },
                                         [&] { TSpatialWriter w(nowhere.c_str()); },
                                         [&] { TBinarySpatialWriter w(nowhere.c_str()); },
                                         [&] { TAttributeWriter w(nowhere.c_str()); },
                                         [&] { TBinaryAttributeWriter w(nowhere.c_str()); }};
  for (size_t i = 0; i < std::size(opens); ++i) {
    EXPECT_EQ(Raised(opens[i]), std::string("can't open file")) << i;
  }
}

TEST(SpatialRecordCheck, RefusesRecordsReadersCannotReadBack) {
  const int32_t counts[] = {2, 1}, negative[] = {2, -1}, huge[] = {INT32_MAX, INT32_MAX};
  const double xy[] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(CheckSpatialRecord(7, counts, xy, 2), 3);
  EXPECT_EQ(CheckSpatialRecord(-7, counts, xy, 1), 2);
  struct Case {
    int32_t id;
    const int32_t* counts;
    const double* xy;
    int32_t vectors;
  } bad[] = {{0, counts, xy, 2},   {1, counts, xy, 0},  {1, counts, xy, -1},
             {1, negative, xy, 2}, {1, nullptr, xy, 1}, {1, counts, nullptr, 1},
             {1, huge, xy, 2}};
  for (const Case& c : bad) {
    EXPECT_EQ(Raised([&] { CheckSpatialRecord(c.id, c.counts, c.xy, c.vectors); }),
              std::string("bad spatial record"))
        << "accepted " << c.id << "/" << c.vectors;
  }
}

TEST(SpatialNumbers, AtoiRuleStopsAtTheEndAndParseDoubleIsExact) {
  const char digits[] = "123456";
  EXPECT_EQ(AtoiRule(digits, digits + 3), 123);
  // Exact and free of the C locale.
  const std::pair<const char*, double> doubles[] = {
      {"11.5", 11.5},        {"+0.1", 0.1},
      {"-1e-3", -0.001},     {".5", 0.5},
      {"1.5abc", 1.5},       {"1e400", HUGE_VAL},
      {"-1e400", -HUGE_VAL}, {"1e-400", 0.0},
      {"-inf", -HUGE_VAL},   {"0.30000000000000004", 0.1 + 0.2}};
  for (auto [text, value] : doubles) {
    double v = -1;
    ASSERT_TRUE(ParseDouble(text, text + std::strlen(text), &v)) << text;
    EXPECT_EQ(v, value) << text;
  }
  double v = -1;
  ASSERT_TRUE(ParseDouble("nan", "nan" + 3, &v));
  EXPECT_TRUE(std::isnan(v));
  for (const char* bad : {"abc", "", "+-1", ",5"}) {
    v = -1;
    EXPECT_FALSE(ParseDouble(bad, bad + std::strlen(bad), &v)) << bad;
    EXPECT_EQ(v, 0.0) << bad;
  }
}

}  // namespace
}  // namespace orvo
