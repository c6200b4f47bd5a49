// Path splitting, case folding, locale-free number parsing and formatting.
#include "base/strings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/c_numbers.h"

namespace orvo {
namespace {

TEST(Paths, SplitExtensionAndChange) {
  auto parts = [](const char* path) {
    const PathParts p = SplitPath(path);
    return std::vector<std::string>{p.drive, p.dir, p.name, p.ext};
  };
  EXPECT_EQ(parts("C:\\maps\\v1.2/roads.BSpatial"),
            (std::vector<std::string>{"C:", "\\maps\\v1.2/", "roads", ".BSpatial"}));
  EXPECT_EQ(parts("archive.tar.gz"), (std::vector<std::string>{"", "", "archive.tar", ".gz"}));
  // FileExt ignores dots in directory names and keeps the case.
  EXPECT_EQ(FileExt("C:\\maps.v2\\roads"), "");
  EXPECT_EQ(FileExt("data/v1.0/roads"), "");
  EXPECT_EQ(FileExt("roads.BSpatial"), ".BSpatial");
  EXPECT_EQ(FileExt("/tmp/x/roads.spatial"), ".spatial");
  // ChangeExt replaces the extension, adds its dot or drops it.
  EXPECT_EQ(ChangeExt("C:\\maps\\roads.spatial", ".attribute"), "C:\\maps\\roads.attribute");
  EXPECT_EQ(ChangeExt("C:\\maps\\roads.spatial", "bindex"), "C:\\maps\\roads.bindex");
  EXPECT_EQ(ChangeExt("maps/roads.spatial", ""), "maps/roads");
  EXPECT_EQ(ChangeExt("maps.d/roads", ".index"), "maps.d/roads.index");
}

TEST(CaseFolding, UpperFoldsAsciiOnlyLowerFoldsTheCodePage) {
  EXPECT_EQ(UpperCopy("Feature.road_1"), "FEATURE.ROAD_1");
  EXPECT_EQ(UpperCopy("\xe9t\xe9"), "\xe9T\xe9");  // non-ASCII bytes stay as they are
  EXPECT_EQ(LowerCopy("C:\\Maps\\ROADS.Spatial"), "c:\\maps\\roads.spatial");
  EXPECT_EQ(LowerCopy("\xc9"), "\xe9");  // E acute in the ANSI code page
}

// A comma is not a decimal separator.
TEST(StrToDouble, FollowsTheLibraryParsingRules) {
  for (const char* zero : {static_cast<const char*>(nullptr), "", "abc"})
    EXPECT_EQ(StrToDouble(zero), 0.0) << (zero == nullptr ? "null" : zero);
  EXPECT_DOUBLE_EQ(StrToDouble("1e0.5"), std::pow(10.0, 0.5));
  const std::pair<const char*, double> cases[] = {{"  -1.5e2x", -150.0}, {"1.2.3", 1.23},
                                                  {"\t+42", 42.0},       {"1e3", 1000.0},
                                                  {"2E-2", 0.02},        {"3,5", 3.0}};
  for (const auto& [text, value] : cases) EXPECT_DOUBLE_EQ(StrToDouble(text), value) << text;
}

TEST(CNumbers, AtoiSaturatesAndStrtodIgnoresTheLocale) {
  const std::pair<const char*, int32_t> cases[] = {{"", 0},
                                                   {" \t\r\n\v\f-42x", -42},
                                                   {"+7", 7},
                                                   {"12abc", 12},
                                                   {"abc", 0},
                                                   {"- 5", 0},
                                                   {"-2147483648", INT32_MIN},
                                                   {"99999999999999999999999", INT32_MAX},
                                                   {"-99999999999999999999999", INT32_MIN}};
  for (const auto& [text, value] : cases) EXPECT_EQ(CAtoi(text), value) << text;
  // Strtod ignores the locale: the test program runs under a comma-decimal one where it has one.
  const std::pair<const char*, double> doubles[] = {
      {"0.5", 0.5},        {"  -1.5e2x", -150.0}, {"+.25", 0.25},  {"1,5", 1.0},
      {"0.1", 0.1},        {"abc", 0.0},          {"+-1", 0.0},    {"0x10", 16.0},
      {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL}, {"1e-400", 0.0}, {"inf", HUGE_VAL}};
  for (const auto& [text, value] : doubles) EXPECT_EQ(CStrtod(text), value) << text;
  EXPECT_TRUE(std::isnan(CStrtod("nan")));
}

// Formats with printf in the C locale, the reference for "%-.16g".
std::string PrintfInCLocale(double v, const char* format) {
  std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "C");
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), format, v);
  std::setlocale(LC_NUMERIC, saved.c_str());
  return buffer;
}

TEST(DoubleFormatting, MatchesPrintfWhateverTheLocale) {
  std::mt19937_64 random(7);
  std::vector<double> values = {0.0,   -0.0,     1.0,    -1.5,
                                0.1,   1e16,     1e17,   123456789012345678.0,
                                1e-5,  1e-4,     5e-324, 1.7976931348623157e308,
                                30.25, 59.999999};
  // Far exponents, and map-coordinate magnitudes around every exponent switch of %g.
  for (int i = 0; i < 200; ++i)
    values.push_back(
        std::ldexp(1.0 + (random() >> 12) * 0x1p-52, static_cast<int>(random() % 400) - 200));
  std::uniform_real_distribution<double> log_spread(-5.0, 17.0);
  for (int i = 0; i < 50000; ++i) values.push_back(std::pow(10.0, log_spread(random)));
  for (int e = -5; e <= 17; ++e) {
    double p = std::pow(10.0, e);
    values.insert(values.end(), {p, std::nextafter(p, 0.0), std::nextafter(p, 1e300), -p});
  }
  // Dyadic values with few fraction bits: exact decimal ties at the 17th digit.
  for (int i = 0; i < 20000; ++i)
    values.push_back(
        std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 40)));
  for (double v : values) {
    std::string out;
    AppendDouble(out, v);
    ASSERT_EQ(out, PrintfInCLocale(v, "%-.16g")) << v;
    ASSERT_EQ(DoubleToString(v), out);
  }
  EXPECT_EQ(DoubleToString(2.5, "%20.10f"), PrintfInCLocale(2.5, "%20.10f"));
  EXPECT_EQ(DoubleToString(-0.125, "%.3f"), "-0.125");
}

}  // namespace
}  // namespace orvo
