// The locale-free atoi and strtod rules.
#include "base/c_numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

namespace {

TEST(CNumbers, AtoiFollowsTheCRuleAndSaturates) {
  const std::pair<const char*, int32_t> cases[] = {{"", 0},
                                                   {" \t\r\n\v\f-42x", -42},
                                                   {"+7", 7},
                                                   {"12abc", 12},
                                                   {"abc", 0},
                                                   {"- 5", 0},
                                                   {"-2147483648", INT32_MIN},
                                                   {"99999999999999999999999", INT32_MAX},
                                                   {"-99999999999999999999999", INT32_MIN}};
  for (const auto& [text, value] : cases) EXPECT_EQ(orvo::CAtoi(text), value) << text;
}

TEST(CNumbers, StrtodIgnoresTheLocaleAndFollowsTheCRule) {
  // The test program runs under a comma-decimal locale where it has one.
  const std::pair<const char*, double> cases[] = {
      {"0.5", 0.5},        {"  -1.5e2x", -150.0}, {"+.25", 0.25},  {"1,5", 1.0},
      {"0.1", 0.1},        {"abc", 0.0},          {"+-1", 0.0},    {"0x10", 16.0},
      {"1e400", HUGE_VAL}, {"-1e400", -HUGE_VAL}, {"1e-400", 0.0}, {"inf", HUGE_VAL}};
  for (const auto& [text, value] : cases) EXPECT_EQ(orvo::CStrtod(text), value) << text;
  EXPECT_TRUE(std::isnan(orvo::CStrtod("nan")));
}

}  // namespace
