// Tests of an attribute type's allowed values, limits and default.
#include "classify/attribute.h"

#include <gtest/gtest.h>

namespace {

using orvo::TAttribute;

TEST(Attribute, DefaultOfEmptyTextIsZero) {
  TAttribute a("X");
  EXPECT_FALSE(a.HasDefault());
  a.SetDefault("");
  EXPECT_TRUE(a.HasDefault());
  EXPECT_EQ(a.Default(), "0");
  a.ClearDefault();
  EXPECT_FALSE(a.HasDefault());
  EXPECT_EQ(a.Default(), "");
}

TEST(Attribute, ValueListKeepsAnnotationsAligned) {
  TAttribute a("X");
  a.AddValue("a", "first");
  a.AddValue("", "ignored");
  a.AddValue("A", "second");
  a.AddValue("b", "third");
  ASSERT_EQ(a.ValueCount(), 3);
  EXPECT_EQ(a.ValueAnno(1), "second");
  EXPECT_EQ(a.Value(3), "");
  EXPECT_EQ(a.Value(-1), "");
  a.SetValue(3, "out of range");
  a.SetValueAnno(-1, "out of range");
  a.SetValue(2, "c");
  a.SetValueAnno(2, "changed");
  a.EraseValueByText("a");  // a and A, with their annotations
  ASSERT_EQ(a.ValueCount(), 1);
  EXPECT_EQ(a.Value(0), "c");
  EXPECT_EQ(a.ValueAnno(0), "changed");
  a.AddValue("d", "");
  a.EraseValue(5);
  a.EraseValue(-1);
  a.EraseValue(0);
  ASSERT_EQ(a.ValueCount(), 1);
  EXPECT_EQ(a.Value(0), "d");
  a.ClearValues();
  EXPECT_FALSE(a.HasValues());
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
  // Changes of the list are seen by the next lookup.
  text.EraseValue(0);
  EXPECT_EQ(text.FindValueIndex("road"), 0);
  text.SetValue(0, "path");
  EXPECT_EQ(text.FindValueIndex("road"), -1);
  EXPECT_EQ(text.FindValueIndex("PATH"), 0);
}

TEST(Attribute, RangeCheckIsOnExactlyWhenBothLimitsAreSet) {
  TAttribute b("Y");
  b.SetMax("10");
  EXPECT_FALSE(b.HasLimits());
  b.SetMin("1");
  EXPECT_TRUE(b.HasLimits());
  // Clearing one limit switches the check off instead of refusing every value.
  b.SetMin("");
  EXPECT_FALSE(b.HasLimits());
  EXPECT_TRUE(b.CheckString("anything"));
  b.SetMin("1");
  b.ClearMinMax();
  EXPECT_FALSE(b.HasLimits());
  EXPECT_EQ(b.Min() + b.Max(), "");
  EXPECT_TRUE(b.CheckString("anything"));
  EXPECT_EQ(b.Reason(), "");
}

}  // namespace
