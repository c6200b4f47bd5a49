// An attribute type: allowed values, limits, default, and the checks of values.
#include "classify/attribute.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

using orvo::TAttribute;

constexpr const char* kRange = "value not in range";
constexpr const char* kList = "value not in allowed values list";

// Edits leave old texts behind in the list's storage until it is packed:
// every value and annotation must read back the same across packings.
TEST(Attribute, DefaultOfEmptyTextIsZeroAndValueEditsStayAligned) {
  TAttribute a("X");
  for (int i = 0; i < 20; ++i) a.AddValue("v" + std::to_string(i), "anno " + std::to_string(i));
  a.AddValue("", "ignored");
  a.AddValue("V3", "same text, other case");
  for (int round = 0; round < 50; ++round) {
    for (int i = 0; i < 20; ++i) {
      a.SetValueAnno(i, "anno " + std::to_string(i) + "." + std::to_string(round));
      if (round % 7 == 0) a.SetValue(i, "V" + std::to_string(i));
    }
  }
  for (int32_t i : {-1, 21}) {  // outside: nothing changes
    a.SetValue(i, "out");
    a.SetValueAnno(i, "out");
    a.EraseValue(i);
    EXPECT_EQ(a.Value(i), "");
  }
  a.EraseValue(0);
  a.EraseValueByText("v3");  // both V3 entries, with their annotations
  ASSERT_EQ(a.ValueCount(), 18);
  EXPECT_EQ(a.Value(0), "V1");
  EXPECT_EQ(a.ValueAnno(0), "anno 1.49");
  EXPECT_EQ(a.Value(17), "V19");
  EXPECT_EQ(a.ValueAnno(17), "anno 19.49");
  EXPECT_EQ(a.FindValueIndex("v7"), 5);
  a.ClearValues();
  EXPECT_FALSE(a.HasValues());
  // The default of an empty text is zero.
  EXPECT_FALSE(a.HasDefault());
  a.SetDefault("");
  EXPECT_TRUE(a.HasDefault());
  EXPECT_EQ(a.Default(), "0");
  a.ClearDefault();
  EXPECT_FALSE(a.HasDefault());
  EXPECT_EQ(a.Default(), "");
}

TEST(Attribute, ValueIndexKeepsTheFirstOfEqualValues) {
  TAttribute integer("X");
  integer.SetDataType(1);
  for (const char* v : {"1", "01", "2"}) integer.AddValue(v, "");
  EXPECT_EQ(integer.FindValueIndex("001"), 0);
  EXPECT_EQ(integer.FindValueIndex("2"), 2);
  EXPECT_EQ(integer.FindValueIndex("3"), -1);
  integer.EraseValueByText("1");  // compares texts whatever the type
  EXPECT_EQ(integer.Value(0), "01");

  TAttribute text("Y");
  text.SetDataType(5);
  text.AddValue("Road", "");
  text.AddValue("ROAD", "");
  EXPECT_EQ(text.FindValueIndex("road"), 0);
  EXPECT_TRUE(text.CheckString("rOAD"));
  EXPECT_FALSE(text.CheckString(" road"));
  EXPECT_EQ(text.Reason(), kList);
  // Changes of the list are seen by the next lookup.
  text.EraseValue(0);
  EXPECT_EQ(text.FindValueIndex("road"), 0);
  text.SetValue(0, "path");
  EXPECT_EQ(text.FindValueIndex("road"), -1);
  EXPECT_EQ(text.FindValueIndex("PATH"), 0);
}

void Limit(TAttribute& a, int32_t type, const char* min, const char* max) {
  a.SetDataType(type);
  a.SetMax(max);  // either order switches the check on
  a.SetMin(min);
}

TEST(ValueCheck, IntegerRangeIsInclusiveAndReportedBeforeTheList) {
  TAttribute a("X");
  Limit(a, 1, "1", "10");
  EXPECT_TRUE(a.CheckString("10"));
  EXPECT_FALSE(a.CheckString("0"));
  EXPECT_EQ(a.Reason(), kRange);
  EXPECT_TRUE(a.CheckInt(1));
  EXPECT_EQ(a.Reason(), "");
  EXPECT_FALSE(a.CheckInt(11));
  EXPECT_TRUE(a.CheckDouble(10.9));    // checked as 10
  EXPECT_FALSE(a.CheckString("abc"));  // read as 0
  EXPECT_TRUE(a.CheckString("7 apples"));
  EXPECT_FALSE(a.CheckInt(INT32_MIN));
  EXPECT_FALSE(a.CheckInt(INT32_MAX));
  // The range is reported before the list.
  a.AddValue("2", "");
  EXPECT_FALSE(a.CheckInt(11));
  EXPECT_EQ(a.Reason(), kRange);
  EXPECT_FALSE(a.CheckInt(3));
  EXPECT_EQ(a.Reason(), kList);
  EXPECT_TRUE(a.CheckInt(2));
  EXPECT_EQ(a.Reason(), "");
}

TEST(ValueCheck, DoubleAndTextRanges) {
  TAttribute d("X");
  Limit(d, 2, "0.1", "0.3");
  EXPECT_TRUE(d.CheckDouble(0.3));
  EXPECT_FALSE(d.CheckDouble(0.3000001));
  EXPECT_FALSE(d.CheckString("0,2"));  // a comma ends the number: 0
  EXPECT_TRUE(d.CheckString("2e-1"));
  EXPECT_FALSE(d.CheckDouble(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(d.Reason(), kRange);
  EXPECT_FALSE(d.CheckDouble(HUGE_VAL));
  for (int type : {3, 4, 5, 6, 0, -1}) {
    TAttribute s("S");
    Limit(s, type, "B", "D");
    EXPECT_TRUE(s.CheckString("Cat")) << type;
    EXPECT_TRUE(s.CheckString("b")) << type;
    EXPECT_TRUE(s.CheckString("d")) << type;
    EXPECT_FALSE(s.CheckString("dog")) << type;  // longer than "D"
    EXPECT_FALSE(s.CheckString("")) << type;
    EXPECT_FALSE(s.CheckDouble(2.5)) << type;  // "2.5" sorts below "B"
  }
}

TEST(ValueCheck, AllowedValuesCompareByType) {
  TAttribute t("T");
  t.SetDataType(4);
  t.AddValue("2.5", "");
  t.AddValue("-2147483648", "");
  t.AddValue("1e+16", "");
  // Numbers are compared as their "%-.16g" text.
  EXPECT_TRUE(t.CheckDouble(2.5));
  EXPECT_FALSE(t.CheckDouble(2.50001));
  EXPECT_TRUE(t.CheckInt(INT32_MIN));
  EXPECT_FALSE(t.CheckDouble(1e15));  // 1000000000000000
  EXPECT_TRUE(t.CheckDouble(1e16));

  TAttribute r("R");
  r.SetDataType(2);
  r.AddValue("nan", "");  // matches only NaN and keeps the lookup ordered
  r.AddValue("10", "");
  r.AddValue("20", "");
  EXPECT_EQ(r.FindValueIndex("020"), 2);
  EXPECT_EQ(r.FindValueIndex("1e1"), 1);
  EXPECT_FALSE(r.CheckString("7"));
  EXPECT_TRUE(r.CheckString("NaN"));
}

TEST(ValueCheck, DataTypeChangeReparsesLimitsAndValues) {
  // Limits set before the type would otherwise stay texts: "20" would pass a
  // 1..10 range because "10" and "20" compare as texts against integer 20.
  TAttribute a("X");
  Limit(a, 0, "1", "10");
  a.AddValue("1", "");
  a.AddValue("20", "");
  EXPECT_EQ(a.FindValueIndex("01"), -1);  // texts: 01 is not 1
  a.SetDataType(1);
  EXPECT_FALSE(a.CheckInt(20));
  EXPECT_EQ(a.Reason(), kRange);
  EXPECT_EQ(a.FindValueIndex("01"), 0);
  a.SetDataType(5);
  EXPECT_EQ(a.FindValueIndex("01"), -1);
  EXPECT_TRUE(a.CheckString("1"));
}

}  // namespace
