// Tests of typed attribute values, the locale-free atoi/strtod rules and the
// type and local kind names of classifier files.
#include "classify/value.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "classify/c_numbers.h"
#include "classify/data_type.h"

namespace {

using orvo::TValue;

TEST(CNumbers, AtoiFollowsTheCRuleAndSaturates) {
  EXPECT_EQ(orvo::CAtoi(""), 0);
  EXPECT_EQ(orvo::CAtoi(" \t\r\n\v\f-42x"), -42);
  EXPECT_EQ(orvo::CAtoi("+7"), 7);
  EXPECT_EQ(orvo::CAtoi("12abc"), 12);
  EXPECT_EQ(orvo::CAtoi("abc"), 0);
  EXPECT_EQ(orvo::CAtoi("- 5"), 0);
  EXPECT_EQ(orvo::CAtoi("2147483647"), 2147483647);
  EXPECT_EQ(orvo::CAtoi("-2147483648"), INT32_MIN);
  EXPECT_EQ(orvo::CAtoi("99999999999999999999999"), INT32_MAX);
  EXPECT_EQ(orvo::CAtoi("-99999999999999999999999"), INT32_MIN);
}

TEST(CNumbers, StrtodIgnoresTheLocaleAndFollowsTheCRule) {
  // The test program runs under a comma-decimal locale where it has one.
  EXPECT_EQ(orvo::CStrtod("0.5"), 0.5);
  EXPECT_EQ(orvo::CStrtod("  -1.5e2x"), -150.0);
  EXPECT_EQ(orvo::CStrtod("+.25"), 0.25);
  EXPECT_EQ(orvo::CStrtod("1,5"), 1.0);
  EXPECT_EQ(orvo::CStrtod("0.1"), 0.1);  // correctly rounded, like strtod
  EXPECT_EQ(orvo::CStrtod(""), 0.0);
  EXPECT_EQ(orvo::CStrtod("abc"), 0.0);
  EXPECT_EQ(orvo::CStrtod("+-1"), 0.0);
  EXPECT_EQ(orvo::CStrtod("0x10"), 16.0);
  EXPECT_EQ(orvo::CStrtod("1e400"), HUGE_VAL);
  EXPECT_EQ(orvo::CStrtod("-1e400"), -HUGE_VAL);
  EXPECT_EQ(orvo::CStrtod("1e-400"), 0.0);
  EXPECT_EQ(orvo::CStrtod("inf"), HUGE_VAL);
  EXPECT_TRUE(std::isnan(orvo::CStrtod("nan")));
}

TEST(Value, ParsesByDataType) {
  TValue fresh;
  EXPECT_EQ(fresh.Kind(), orvo::kValueText);
  EXPECT_EQ(fresh.Text(), "");
  EXPECT_EQ(fresh.AsInteger(), 0);

  TValue integer(1, " 12abc");
  EXPECT_EQ(integer.Kind(), orvo::kValueInteger);
  EXPECT_EQ(integer.AsInteger(), 12);
  EXPECT_EQ(integer.AsDouble(), 12.0);
  EXPECT_EQ(integer.Text(), "");
  EXPECT_EQ(integer.ToString(), "12");

  TValue real(2, "-2.5");
  EXPECT_EQ(real.Kind(), orvo::kValueDouble);
  EXPECT_EQ(real.AsInteger(), -2);  // truncated toward zero
  EXPECT_EQ(real.ToString(), "-2.5");
  EXPECT_EQ(TValue(2, "1e300").AsInteger(), INT32_MAX);

  for (int type : {3, 4, 5, 6, 0, -1, 99}) {
    TValue text(type, " Road ");
    EXPECT_EQ(text.Kind(), orvo::kValueText) << type;
    EXPECT_EQ(text.Text(), " Road ");
    EXPECT_EQ(text.ToString(), " Road ");
  }
  EXPECT_EQ(TValue(5, "7x").AsInteger(), 7);
  EXPECT_EQ(TValue(5, "0.5").AsDouble(), 0.5);
  EXPECT_EQ(TValue(1, "-12").ToString(), "-12");
  EXPECT_EQ(TValue(2, "0.1").ToString(), "0.1");
}

TEST(Value, OrdersByTheLeftKind) {
  EXPECT_TRUE(TValue(1, "2") < TValue(1, "10"));
  EXPECT_TRUE(TValue(1, "01").Equals(TValue(1, "1")));
  EXPECT_TRUE(TValue(2, "0.3") < TValue(2, "1e1"));
  // Text: ASCII letters fold to upper case; a shorter prefix comes first.
  EXPECT_TRUE(TValue(5, "Road").Equals(TValue(5, "ROAD")));
  EXPECT_TRUE(TValue(5, "b") < TValue(5, "C"));
  EXPECT_TRUE(TValue(5, "A") < TValue(5, "a_"));
  // Folding happens before the byte comparison: 'a' is 'A' (65), below '_' (95).
  EXPECT_TRUE(TValue(5, "a") < TValue(5, "_"));
  EXPECT_FALSE(TValue(5, "_") < TValue(5, "a"));
  // Bytes above 127 compare unsigned and are not folded.
  EXPECT_TRUE(TValue(5, "z") < TValue(5, "\xe4"));
  EXPECT_FALSE(TValue(5, "\xe4").Equals(TValue(5, "\xc4")));
  // The right operand is read by the left one's kind.
  EXPECT_TRUE(TValue(1, "5") < TValue(5, "6"));
  EXPECT_TRUE(TValue(2, "5") < TValue(5, "5.5"));
}

TEST(Value, NanIsOutsideEveryRange) {
  TValue nan(2, "nan");
  TValue one(2, "1");
  EXPECT_TRUE(nan.Equals(TValue(2, "-nan")));
  EXPECT_FALSE(nan.Equals(one));
  EXPECT_TRUE(one < nan);
  EXPECT_FALSE(nan < one);
  EXPECT_TRUE(TValue(2, "inf") < nan);
}

TEST(DataType, TypeTextsMapBySubstringRule) {
  struct Case {
    const char* text;
    int32_t type;
    const char* sub_type;
  };
  const Case cases[] = {
      {"int", 1, ""},          {" Int[4]", 1, "4"},      {"VARCHAR[32]", 4, "32"},
      {"varchar [ 8 ]", 4, " 8 "}, {"ARCH", -1, ""},      {"INTEGER", -1, ""},
      {"double", 2, ""},       {"real", 2, ""},          {"single", 2, ""},
      {"char[1]", 3, "1"},     {"string", 5, ""},        {"text", 5, ""},
      {"blob", 6, ""},         {"dbase", 1, ""},         {"word", 1, ""},
      {"VAR", 4, ""},          {"IN", 1, ""},            {"D", 2, ""},
      {"B", -1, ""},           {"", -1, ""},             {"  ", -1, ""},
      {"[5]", -1, "5"},        {"number", -1, ""},       {"char]x[", -1, ""},
      {"int[", 1, ""},         {"\tdouble\t[3]", 2, "3"}};
  for (const Case& c : cases) {
    EXPECT_EQ(orvo::DataTypeFromTypeText(c.text), c.type) << c.text;
    EXPECT_EQ(orvo::DataSubTypeFromTypeText(c.text), c.sub_type) << c.text;
  }
  EXPECT_EQ(orvo::TypeTextOf(1, ""), "int");
  EXPECT_EQ(orvo::TypeTextOf(2, ""), "double");
  EXPECT_EQ(orvo::TypeTextOf(3, "1"), "char[1]");
  EXPECT_EQ(orvo::TypeTextOf(4, "32"), "varchar[32]");
  EXPECT_EQ(orvo::TypeTextOf(5, ""), "string");
  EXPECT_EQ(orvo::TypeTextOf(6, ""), "blob");
  EXPECT_EQ(orvo::TypeTextOf(-1, ""), "string");
  EXPECT_EQ(orvo::TypeTextOf(0, "9"), "string[9]");
}

TEST(DataType, LocalKindsByTheirFirstThreeUpperCaseLetters) {
  EXPECT_EQ(orvo::LocalKindFromText("PNT"), 1);
  EXPECT_EQ(orvo::LocalKindFromText("PNTX"), 1);
  EXPECT_EQ(orvo::LocalKindFromText("LIN"), 2);
  EXPECT_EQ(orvo::LocalKindFromText("RGN "), 3);
  EXPECT_EQ(orvo::LocalKindFromText("TXT"), 4);
  EXPECT_EQ(orvo::LocalKindFromText("pnt"), 0);
  EXPECT_EQ(orvo::LocalKindFromText("POINT"), 0);
  EXPECT_EQ(orvo::LocalKindFromText(" PNT"), 0);
  EXPECT_EQ(orvo::LocalKindFromText("PN"), 0);
  EXPECT_EQ(orvo::LocalKindFromText(""), 0);
  const char* names[] = {"PNT", "PNT", "LIN", "RGN", "TXT", "PNT"};
  for (int32_t code = 0; code <= 5; ++code) EXPECT_STREQ(orvo::LocalKindName(code), names[code]);
  EXPECT_STREQ(orvo::LocalKindName(12), "LIN");
  EXPECT_STREQ(orvo::LocalKindName(13), "RGN");
  EXPECT_STREQ(orvo::LocalKindName(14), "TXT");
  EXPECT_STREQ(orvo::LocalKindName(11), "PNT");
  EXPECT_STREQ(orvo::LocalKindName(-1), "PNT");
}

}  // namespace
