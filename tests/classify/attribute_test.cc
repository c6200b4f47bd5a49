// Attribute types: typed values, the type texts of classifier files, allowed
// values, limits, default, and the checks of values.
#include "classify/attribute.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "classify/data_type.h"
#include "classify/value.h"

namespace {

using orvo::TAttribute;
using orvo::TValue;

constexpr const char* kRange = "value not in range";
constexpr const char* kList = "value not in allowed values list";

// What each check gave: "ok", or the reason it failed.
using Verdicts = std::vector<std::string>;
std::string Verdict(const TAttribute& a, bool passed) {
  return passed ? "ok" + a.Reason() : a.Reason();
}

TEST(Value, ParsesByDataType) {
  TValue integer(1, " 12abc");
  EXPECT_EQ(integer.Kind(), orvo::kValueInteger);
  EXPECT_EQ(integer.ToString(), "12");
  TValue real(2, "-2.5");
  EXPECT_EQ(real.Kind(), orvo::kValueDouble);
  EXPECT_EQ(real.AsInteger(), -2);  // truncated toward zero
  EXPECT_EQ(TValue(2, "1e300").AsInteger(), INT32_MAX);
  for (int type : {3, 4, 5, 6, 0, -1, 99}) {
    TValue text(type, " Road ");
    EXPECT_EQ(text.Kind(), orvo::kValueText) << type;
    EXPECT_EQ(text.ToString(), " Road ");
  }
  EXPECT_EQ(TValue(5, "0.5").AsDouble(), 0.5);
  // Order: folded before comparing ('a' is 65, below '_'), high bytes unsigned,
  // the right side read by the left side's kind.
  EXPECT_TRUE(TValue(5, "a") < TValue(5, "_"));
  EXPECT_TRUE(TValue(5, "z") < TValue(5, "\xe4"));
  EXPECT_TRUE(TValue(1, "5") < TValue(5, "6"));
  EXPECT_TRUE(TValue(2, "5") < TValue(5, "5.5"));
}

TEST(DataType, TypeTextsMapBySubstringRule) {
  // The keywords match as substrings of one run of them: "IN", "D" and "VAR"
  // are found, "ARCH" straddles two and "INTEGER" is none.
  const std::pair<const char*, int32_t> plain[] = {
      {"int", 1}, {"ARCH", -1},   {"INTEGER", -1}, {"real", 2}, {"text", 5},
      {"VAR", 4}, {"IN", 1},      {"D", 2},        {"B", -1},   {"", -1},
      {"  ", -1}, {"number", -1}, {"char]x[", -1}, {"int[", 1}};
  for (const auto& [text, type] : plain) {
    EXPECT_EQ(orvo::DataTypeFromTypeText(text), type) << text;
    EXPECT_EQ(orvo::DataSubTypeFromTypeText(text), "") << text;
  }
  struct Case {
    const char* text;
    int32_t type;
    const char* sub_type;
  };
  const Case with_sub_type[] = {
      {" Int[4]", 1, "4"}, {"VARCHAR[32]", 4, "32"}, {"varchar [ 8 ]", 4, " 8 "},
      {"char[1]", 3, "1"}, {"[5]", -1, "5"},         {"\tdouble\t[3]", 2, "3"}};
  for (const Case& c : with_sub_type) {
    EXPECT_EQ(orvo::DataTypeFromTypeText(c.text), c.type) << c.text;
    EXPECT_EQ(orvo::DataSubTypeFromTypeText(c.text), c.sub_type) << c.text;
  }
  // The texts written back are checked by the writer's exact bytes.
  EXPECT_EQ(orvo::TypeTextOf(3, "1"), "char[1]");
  EXPECT_EQ(orvo::TypeTextOf(0, "9"), "string[9]");
}

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
  std::vector<std::string> want, got;
  for (int i = 1; i < 20; ++i)
    if (i != 3) want.push_back("V" + std::to_string(i) + "=anno " + std::to_string(i) + ".49");
  for (int32_t i = 0; i < a.ValueCount(); ++i) got.push_back(a.Value(i) + "=" + a.ValueAnno(i));
  EXPECT_EQ(got, want);
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
  EXPECT_EQ(
      (Verdicts{Verdict(text, text.CheckString("rOAD")), Verdict(text, text.CheckString(" road"))}),
      (Verdicts{"ok", kList}));
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
  // 10.9 is checked as 10, "abc" read as 0.
  EXPECT_EQ((Verdicts{Verdict(a, a.CheckString("10")), Verdict(a, a.CheckString("0")),
                      Verdict(a, a.CheckInt(1)), Verdict(a, a.CheckInt(11)),
                      Verdict(a, a.CheckDouble(10.9)), Verdict(a, a.CheckString("abc")),
                      Verdict(a, a.CheckString("7 apples")), Verdict(a, a.CheckInt(INT32_MIN)),
                      Verdict(a, a.CheckInt(INT32_MAX))}),
            (Verdicts{"ok", kRange, "ok", kRange, "ok", kRange, "ok", kRange, kRange}));
  // The range is reported before the list.
  a.AddValue("2", "");
  EXPECT_EQ(
      (Verdicts{Verdict(a, a.CheckInt(11)), Verdict(a, a.CheckInt(3)), Verdict(a, a.CheckInt(2))}),
      (Verdicts{kRange, kList, "ok"}));
}

TEST(ValueCheck, DoubleAndTextRanges) {
  TAttribute d("X");
  Limit(d, 2, "0.1", "0.3");
  // A comma ends the number: "0,2" is 0.
  EXPECT_EQ((Verdicts{Verdict(d, d.CheckDouble(0.3)), Verdict(d, d.CheckDouble(0.3000001)),
                      Verdict(d, d.CheckString("0,2")), Verdict(d, d.CheckString("2e-1")),
                      Verdict(d, d.CheckDouble(std::numeric_limits<double>::quiet_NaN())),
                      Verdict(d, d.CheckDouble(HUGE_VAL))}),
            (Verdicts{"ok", kRange, kRange, "ok", kRange, kRange}));
  // Texts compare as texts: "dog" is longer than "D", "2.5" sorts below "B".
  for (int type : {3, 4, 5, 6, 0, -1}) {
    TAttribute s("S");
    Limit(s, type, "B", "D");
    EXPECT_EQ((Verdicts{Verdict(s, s.CheckString("Cat")), Verdict(s, s.CheckString("b")),
                        Verdict(s, s.CheckString("d")), Verdict(s, s.CheckString("dog")),
                        Verdict(s, s.CheckString("")), Verdict(s, s.CheckDouble(2.5))}),
              (Verdicts{"ok", "ok", "ok", kRange, kRange, kRange}))
        << type;
  }
}

TEST(ValueCheck, AllowedValuesCompareByType) {
  TAttribute t("T");
  t.SetDataType(4);
  t.AddValue("2.5", "");
  t.AddValue("-2147483648", "");
  t.AddValue("1e+16", "");
  // Numbers are compared as their "%-.16g" text: 1e15 is 1000000000000000.
  EXPECT_EQ((Verdicts{Verdict(t, t.CheckDouble(2.5)), Verdict(t, t.CheckDouble(2.50001)),
                      Verdict(t, t.CheckInt(INT32_MIN)), Verdict(t, t.CheckDouble(1e15)),
                      Verdict(t, t.CheckDouble(1e16))}),
            (Verdicts{"ok", kList, "ok", kList, "ok"}));

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
  EXPECT_EQ(Verdict(a, a.CheckInt(20)), kRange);
  EXPECT_EQ(a.FindValueIndex("01"), 0);
  a.SetDataType(5);
  EXPECT_EQ(a.FindValueIndex("01"), -1);
  EXPECT_TRUE(a.CheckString("1"));
}

}  // namespace
