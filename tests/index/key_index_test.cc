// SI and II64 through the exports.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "orvoapi.h"

namespace {

TEST(StringIndex, KeysAreCaseSensitiveBytesAndTheFirstValueStays) {
  HSI si = CreateSI();
  EXPECT_TRUE(InsertSI(si, "A", 1));
  EXPECT_FALSE(InsertSI(si, "A", 2));
  int32_t value = 77;
  EXPECT_FALSE(FindSI(si, "a", &value));
  EXPECT_EQ(value, 77);  // untouched
  EXPECT_TRUE(InsertSI(si, "", 5));
  EXPECT_TRUE(InsertSI(si, "\xe9", 6));  // high bytes are ordinary keys
  for (auto [key, expected] : {std::pair{"A", 1}, {"", 5}, {"\xe9", 6}})
    EXPECT_TRUE(FindSI(si, key, &value) && value == expected) << key;
  DeleteSI(si, "missing");
  EXPECT_EQ(CountSI(si), 3);
  DeleteSI(si, "A");
  EXPECT_FALSE(FindSI(si, "A", &value));
  ClearSI(si);
  EXPECT_EQ(CountSI(si), 0);
  EXPECT_TRUE(InsertSI(si, "A", 9));  // still usable after Clear
  FreeSI(si);
  FreeSI(nullptr);
}

TEST(Int64Index, HighAndLowHalvesBothCount) {
  HII64 ii = CreateII64();
  const uint64_t keys[] = {uint64_t{1} << 63, 1, (uint64_t{7} << 32) | 1, UINT64_MAX};
  for (int32_t i = 0; i < 4; ++i) EXPECT_TRUE(InsertII64(ii, keys[i], i + 1));
  EXPECT_FALSE(InsertII64(ii, 1, 5));
  int32_t value = -8;
  EXPECT_FALSE(FindII64(ii, 2, &value));
  EXPECT_EQ(value, -8);
  for (int32_t i = 0; i < 4; ++i) EXPECT_TRUE(FindII64(ii, keys[i], &value) && value == i + 1) << i;
  DeleteII64(ii, 12345);
  EXPECT_EQ(CountII64(ii), 4);
  ClearII64(ii);
  EXPECT_EQ(CountII64(ii), 0);
  FreeII64(ii);
  FreeII64(nullptr);
}

}  // namespace
