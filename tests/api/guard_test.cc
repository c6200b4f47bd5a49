// The boundary guard: any failure becomes the neutral result. (The copy rules
// themselves are checked through the MP, CS and AR string getters.)
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
  // A failed string getter writes one NUL and nothing else.
  char buffer[8] = "xxxxxxx";
  EXPECT_FALSE(GuardedCopyIfFits(buffer, 8, []() -> std::string { Raise("can't open file"); }));
  EXPECT_EQ(std::string(buffer, 3), std::string("\0xx", 3));
  EXPECT_TRUE(GuardedCopyIfFits(buffer, 8, [] { return std::string("roads"); }));
  EXPECT_STREQ(buffer, "roads");
}

}  // namespace
}  // namespace orvo
