// Typed attribute values and the type texts of classifier files.
#include "classify/value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "classify/data_type.h"

namespace {

using orvo::TValue;

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

}  // namespace
