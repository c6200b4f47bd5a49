// The boundary guard: any failure becomes the neutral result.
#include "api/guard.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "base/errors.h"

namespace orvo {
namespace {

TEST(Guard, EveryKindOfFailureGivesTheNeutralResult) {
  EXPECT_EQ(Guarded<int32_t>(-1, []() -> int32_t { Raise("error in spatial file"); }), -1);
  EXPECT_EQ(Guarded<void*>(nullptr, []() -> void* { throw std::bad_alloc(); }), nullptr);
  EXPECT_EQ(Guarded<double>(9999.0, []() -> double { throw DataException("x"); }), 9999.0);
  EXPECT_EQ(Guarded<bool>(false, []() -> bool { throw 17; }), false);
  EXPECT_EQ(Guarded<int64_t>(0, [] { return int64_t{1} << 40; }), int64_t{1} << 40);
  bool ran = false;
  GuardedVoid([&] {
    ran = true;
    throw std::runtime_error("ignored");
  });
  EXPECT_TRUE(ran);
}

TEST(Guard, CopyIfFitsGetterWritesNulOnFailure) {
  char buffer[8] = "xxxxxxx";
  EXPECT_FALSE(GuardedCopyIfFits(buffer, 8, []() -> std::string { Raise("can't open file"); }));
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], 'x');
  EXPECT_TRUE(GuardedCopyIfFits(buffer, 8, [] { return std::string("roads"); }));
  EXPECT_STREQ(buffer, "roads");
}

TEST(StringCopy, CopyIfFitsNeedsRoomForTheNul) {
  char buffer[6] = "-----";
  EXPECT_FALSE(CopyIfFits("roads", buffer, 5));
  EXPECT_STREQ(buffer, "-----");  // unchanged
  EXPECT_TRUE(CopyIfFits("roads", buffer, 6));
  EXPECT_STREQ(buffer, "roads");
}

TEST(StringCopy, BoundedCopyPadsOrFillsWithoutNul) {
  char buffer[6];
  std::memset(buffer, '-', sizeof(buffer));
  EXPECT_TRUE(BoundedCopy("ab", buffer, 6));
  EXPECT_EQ(std::string(buffer, 6), std::string("ab\0\0\0\0", 6));
  std::memset(buffer, '-', sizeof(buffer));
  EXPECT_TRUE(BoundedCopy("abcdefgh", buffer, 4));
  EXPECT_EQ(std::string(buffer, 6), "abcd--");
}

}  // namespace
}  // namespace orvo
