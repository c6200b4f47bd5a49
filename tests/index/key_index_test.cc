// SI and II64 through the exports.
#include <gtest/gtest.h>

#include <cstdint>

#include "orvoapi.h"

namespace {

struct SiKeeper {
  HSI h = CreateSI();
  ~SiKeeper() { FreeSI(h); }
};
struct Ii64Keeper {
  HII64 h = CreateII64();
  ~Ii64Keeper() { FreeII64(h); }
};

TEST(KeyIndexes, FreeOfNullDoesNothing) {
  FreeSI(nullptr);
  FreeII64(nullptr);
}

TEST(StringIndex, InsertKeepsTheFirstValue) {
  SiKeeper si;
  EXPECT_TRUE(InsertSI(si.h, "A", 1));
  EXPECT_FALSE(InsertSI(si.h, "A", 2));
  int32_t value = 0;
  EXPECT_TRUE(FindSI(si.h, "A", &value));
  EXPECT_EQ(value, 1);
  EXPECT_EQ(CountSI(si.h), 1);
}

TEST(StringIndex, KeysAreCaseSensitiveBytesAndMayBeEmpty) {
  SiKeeper si;
  InsertSI(si.h, "A", 1);
  int32_t value = 77;
  EXPECT_FALSE(FindSI(si.h, "a", &value));
  EXPECT_EQ(value, 77);  // untouched
  EXPECT_TRUE(InsertSI(si.h, "", 5));
  EXPECT_TRUE(InsertSI(si.h, "\xe9", 6));  // high bytes are ordinary keys
  EXPECT_TRUE(FindSI(si.h, "", &value));
  EXPECT_EQ(value, 5);
  EXPECT_TRUE(FindSI(si.h, "\xe9", &value));
  EXPECT_EQ(value, 6);
  DeleteSI(si.h, "missing");
  EXPECT_EQ(CountSI(si.h), 3);
  DeleteSI(si.h, "A");
  EXPECT_FALSE(FindSI(si.h, "A", &value));
  ClearSI(si.h);
  EXPECT_EQ(CountSI(si.h), 0);
  EXPECT_TRUE(InsertSI(si.h, "A", 9));  // still usable after Clear
}

TEST(Int64Index, HighAndLowHalvesBothCount) {
  Ii64Keeper ii;
  const uint64_t top = uint64_t{1} << 63;
  EXPECT_TRUE(InsertII64(ii.h, top, 1));
  EXPECT_TRUE(InsertII64(ii.h, 1, 2));
  EXPECT_TRUE(InsertII64(ii.h, (uint64_t{7} << 32) | 1, 3));
  EXPECT_TRUE(InsertII64(ii.h, UINT64_MAX, 4));
  EXPECT_FALSE(InsertII64(ii.h, 1, 5));
  int32_t value = 0;
  EXPECT_TRUE(FindII64(ii.h, top, &value));
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(FindII64(ii.h, (uint64_t{7} << 32) | 1, &value));
  EXPECT_EQ(value, 3);
  EXPECT_TRUE(FindII64(ii.h, UINT64_MAX, &value));
  EXPECT_EQ(value, 4);
  value = -8;
  EXPECT_FALSE(FindII64(ii.h, 2, &value));
  EXPECT_EQ(value, -8);
  DeleteII64(ii.h, 12345);
  EXPECT_EQ(CountII64(ii.h), 4);
  ClearII64(ii.h);
  EXPECT_EQ(CountII64(ii.h), 0);
}

}  // namespace
