// Tests of an attribute type's fields, allowed values, limits and default.
#include "classify/attribute.h"

#include <gtest/gtest.h>

namespace {

using orvo::TAttribute;

TEST(Attribute, NewAttributeIsEmpty) {
  TAttribute a("WIDTH");
  EXPECT_EQ(a.Id(), "WIDTH");
  EXPECT_EQ(a.DataType(), 0);
  EXPECT_FALSE(a.HasDefault());
  EXPECT_FALSE(a.HasLimits());
  EXPECT_FALSE(a.HasValues());
  EXPECT_EQ(a.ValueCount(), 0);
  EXPECT_EQ(a.Reason(), "");
  EXPECT_EQ(a.FindValueIndex("x"), -1);
}

TEST(Attribute, DefaultOfEmptyTextIsZero) {
  TAttribute a("X");
  a.SetDefault("");
  EXPECT_TRUE(a.HasDefault());
  EXPECT_EQ(a.Default(), "0");
  a.SetDefault(" 5 ");
  EXPECT_EQ(a.Default(), " 5 ");
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
  EXPECT_TRUE(a.HasValues());
  EXPECT_EQ(a.Value(2), "b");
  EXPECT_EQ(a.ValueAnno(1), "second");
  EXPECT_EQ(a.Value(3), "");
  EXPECT_EQ(a.Value(-1), "");
  EXPECT_EQ(a.ValueAnno(3), "");

  a.SetValue(3, "out of range");
  a.SetValueAnno(-1, "out of range");
  a.SetValue(2, "c");
  a.SetValueAnno(2, "changed");
  EXPECT_EQ(a.Value(2), "c");
  EXPECT_EQ(a.ValueAnno(2), "changed");

  a.EraseValueByText("a");  // a and A, with their annotations
  ASSERT_EQ(a.ValueCount(), 1);
  EXPECT_EQ(a.Value(0), "c");
  EXPECT_EQ(a.ValueAnno(0), "changed");

  a.AddValue("d", "");
  a.EraseValue(5);
  a.EraseValue(-1);
  EXPECT_EQ(a.ValueCount(), 2);
  a.EraseValue(0);
  EXPECT_EQ(a.Value(0), "d");
  a.ClearValues();
  EXPECT_FALSE(a.HasValues());
}

TEST(Attribute, EraseByTextComparesTextsWhateverTheType) {
  TAttribute a("X");
  a.SetDataType(1);
  a.AddValue("1", "");
  a.AddValue("01", "");
  a.EraseValueByText("1");
  ASSERT_EQ(a.ValueCount(), 1);
  EXPECT_EQ(a.Value(0), "01");
}

TEST(Attribute, ValueIndexKeepsTheFirstOfEqualValues) {
  TAttribute integer("X");
  integer.SetDataType(1);
  integer.AddValue("1", "");
  integer.AddValue("01", "");
  integer.AddValue("2", "");
  EXPECT_EQ(integer.FindValueIndex("1"), 0);
  EXPECT_EQ(integer.FindValueIndex("001"), 0);
  EXPECT_EQ(integer.FindValueIndex("2"), 2);
  EXPECT_EQ(integer.FindValueIndex("3"), -1);

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
  TAttribute a("X");
  a.SetDataType(1);
  a.SetMin("1");
  EXPECT_FALSE(a.HasLimits());
  a.SetMax("10");
  EXPECT_TRUE(a.HasLimits());
  EXPECT_EQ(a.Min(), "1");
  EXPECT_EQ(a.Max(), "10");

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
  EXPECT_TRUE(b.HasLimits());
  b.ClearMinMax();
  EXPECT_FALSE(b.HasLimits());
  EXPECT_EQ(b.Min(), "");
  EXPECT_EQ(b.Max(), "");
  EXPECT_TRUE(b.CheckString("anything"));
  EXPECT_EQ(b.Reason(), "");
}

}  // namespace
