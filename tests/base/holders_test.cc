// Holders and growable arrays (the reference counting of interface objects is
// checked through the C host test).
#include "base/holders.h"

#include <gtest/gtest.h>

#include "base/api_object.h"

namespace orvo {
namespace {

TEST(TArray, ArraysAndBuffersKeepTheirContentsWhileGrowing) {
  TArray<int32_t> a;
  for (int i = 1; i <= 1000; ++i) a.Add(i);
  a.Reserve(5000);
  ASSERT_EQ(a.Count(), 1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(a[i], i + 1);
  TBuffer b;
  b.Append("abc", 3);
  b.Reserve(1000);
  b.Append("def", 3);
  EXPECT_EQ(std::string(b.Chars(), b.Length()), "abcdef");
}

class TTestThing : public TApiObject<IApiObject> {
 public:
  explicit TTestThing(int* destroyed) : destroyed_(destroyed) {}
  ~TTestThing() override { ++*destroyed_; }

 private:
  int* destroyed_;
};

TEST(TAutoRelease, ReleasesOnceOnDestructionAndReset) {
  int destroyed = 0;
  {
    TAutoRelease<IApiObject> holder(new TTestThing(&destroyed));
    EXPECT_EQ(holder->AddRef(), 1);  // reaches the object; Reset releases it all the same
    holder.Reset(new TTestThing(&destroyed));
    EXPECT_EQ(destroyed, 1);
  }
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
}  // namespace orvo
