// Kinds, record checks and number rules of the spatial files.
#include "vector/spatial_record.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "base/strings.h"
#include "vector/layer_name.h"

namespace orvo {
namespace {

std::string Message(void (*body)()) {
  try {
    body();
  } catch (const char* message) {
    return message;
  }
  return "";
}

TEST(SpatialKind, HeaderNames) {
  EXPECT_STREQ(SpatialKindName(1), "PNT");
  EXPECT_STREQ(SpatialKindName(11), "PNT");
  EXPECT_STREQ(SpatialKindName(2), "LIN");
  EXPECT_STREQ(SpatialKindName(12), "LIN");
  EXPECT_STREQ(SpatialKindName(3), "RGN");
  EXPECT_STREQ(SpatialKindName(13), "RGN");
  EXPECT_STREQ(SpatialKindName(4), "TXT");
  EXPECT_STREQ(SpatialKindName(14), "MIX");  // not TXT: kept as files have it
  EXPECT_STREQ(SpatialKindName(5), "MIX");
  EXPECT_STREQ(SpatialKindName(15), "MIX");
  EXPECT_STREQ(SpatialKindName(0), "MIX");
  EXPECT_STREQ(SpatialKindName(-3), "MIX");
}

TEST(SpatialRecordCheck, RefusesRecordsReadersCannotReadBack) {
  const int32_t counts[] = {2, 1};
  const int32_t zero[] = {2, 0};
  const double xy[] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(CheckSpatialRecord(7, counts, xy, 2), 3);
  EXPECT_EQ(CheckSpatialRecord(-7, counts, xy, 1), 2);
  static const int32_t* c = counts;
  static const int32_t* z = zero;
  static const double* m = xy;
  EXPECT_EQ(Message([] { CheckSpatialRecord(0, c, m, 2); }), "bad spatial record");
  EXPECT_EQ(Message([] { CheckSpatialRecord(1, c, m, 0); }), "bad spatial record");
  EXPECT_EQ(Message([] { CheckSpatialRecord(1, c, m, -1); }), "bad spatial record");
  EXPECT_EQ(Message([] { CheckSpatialRecord(1, z, m, 2); }), "bad spatial record");
  EXPECT_EQ(Message([] { CheckSpatialRecord(1, nullptr, m, 1); }), "bad spatial record");
  EXPECT_EQ(Message([] { CheckSpatialRecord(1, c, nullptr, 1); }), "bad spatial record");
  static const int32_t huge[] = {INT32_MAX, INT32_MAX};
  EXPECT_EQ(Message([] { CheckSpatialRecord(1, huge, m, 2); }), "bad spatial record");
}

TEST(SpatialNumbers, AtoiRule) {
  auto atoi_rule = [](const char* s) { return AtoiRule(s, s + std::strlen(s)); };
  EXPECT_EQ(atoi_rule("42"), 42);
  EXPECT_EQ(atoi_rule("  -17x"), -17);
  EXPECT_EQ(atoi_rule("+5"), 5);
  EXPECT_EQ(atoi_rule("10;20"), 10);
  EXPECT_EQ(atoi_rule("abc"), 0);
  EXPECT_EQ(atoi_rule(""), 0);
  EXPECT_EQ(atoi_rule("-"), 0);
  EXPECT_EQ(atoi_rule("2147483647"), INT32_MAX);
  EXPECT_EQ(atoi_rule("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(atoi_rule("-99999999999999999999"), INT32_MIN);
  const char text[] = "123456";
  EXPECT_EQ(AtoiRule(text, text + 3), 123);  // stops at the end given
}

TEST(SpatialNumbers, ParseDoubleIsExactAndLocaleFree) {
  auto parse = [](const char* s, double* v) { return ParseDouble(s, s + std::strlen(s), v); };
  double v = -1;
  ASSERT_TRUE(parse("11.5", &v));
  EXPECT_EQ(v, 11.5);
  ASSERT_TRUE(parse("+0.1", &v));
  EXPECT_EQ(v, 0.1);
  ASSERT_TRUE(parse("-1e-3", &v));
  EXPECT_EQ(v, -0.001);
  ASSERT_TRUE(parse(".5", &v));
  EXPECT_EQ(v, 0.5);
  ASSERT_TRUE(parse("0.30000000000000004", &v));
  EXPECT_EQ(v, 0.1 + 0.2);
  ASSERT_TRUE(parse("1.5abc", &v));
  EXPECT_EQ(v, 1.5);
  ASSERT_TRUE(parse("1e400", &v));
  EXPECT_EQ(v, HUGE_VAL);
  ASSERT_TRUE(parse("-1e400", &v));
  EXPECT_EQ(v, -HUGE_VAL);
  ASSERT_TRUE(parse("1e-400", &v));
  EXPECT_EQ(v, 0.0);
  ASSERT_TRUE(parse("-inf", &v));
  EXPECT_EQ(v, -HUGE_VAL);
  ASSERT_TRUE(parse("nan", &v));
  EXPECT_TRUE(std::isnan(v));
  EXPECT_FALSE(parse("abc", &v));
  EXPECT_EQ(v, 0.0);
  EXPECT_FALSE(parse("", &v));
  EXPECT_FALSE(parse("+-1", &v));
  EXPECT_FALSE(parse(",5", &v));
}

// The writers rely on AppendDouble giving exactly what "%-.16g" prints in the
// C locale; compare over values that exercise rounding, exponents and signs.
TEST(SpatialNumbers, AppendDoubleMatchesPrintf) {
  std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "C");
  const double values[] = {0.0, -0.0, 1.0, -1.0, 0.1, 0.2 + 0.1, 11.5, 1.0 / 3.0, 2.0 / 3.0,
                           123456.78901234567, 9999.0, 1e15, 1e16, 1e17, 123456789012345678.0,
                           9.999999999999999e15, 1e-4, 1e-5, 0.00012345678901234567, 5e-324,
                           1.7976931348623157e308, -2.2250738585072014e-308, 37.61782340000001,
                           55.75, -180.0, 4503599627370496.5, 0.5e-10, 1e100, 99999999999999.99};
  for (double value : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%-.16g", value);
    std::string got;
    AppendDouble(got, value);
    EXPECT_EQ(got, expected) << "value " << expected;
  }
  // Random bit patterns of finite doubles.
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (int i = 0; i < 20000; ++i) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    double value;
    std::memcpy(&value, &state, sizeof value);
    if (!std::isfinite(value)) continue;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%-.16g", value);
    std::string got;
    AppendDouble(got, value);
    ASSERT_EQ(got, expected);
  }
  std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(LayerName, FormAndFileNames) {
  EXPECT_TRUE(IsBinaryLayerName("roads.bspatial"));
  EXPECT_TRUE(IsBinaryLayerName("dir/roads.BAttribute"));
  EXPECT_FALSE(IsBinaryLayerName("roads.spatial"));
  EXPECT_FALSE(IsBinaryLayerName("roads"));
  EXPECT_FALSE(IsBinaryLayerName("my.bspatial/roads"));
  EXPECT_EQ(LayerFileName("roads.battribute", ".bspatial"), "roads.bspatial");
  EXPECT_EQ(LayerFileName("roads", ".spatial"), "roads.spatial");
}

}  // namespace
}  // namespace orvo
