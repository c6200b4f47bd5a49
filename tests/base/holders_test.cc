// Holders, growable arrays and the reference counting of interface objects.
#include "base/holders.h"

#include <gtest/gtest.h>

#include "base/api_object.h"

namespace orvo {
namespace {

TEST(TArray, KeepsElementsWhileGrowing) {
  TArray<int32_t> a;
  for (int i = 1; i <= 1000; ++i) a.Add(i);
  a.Reserve(5000);
  ASSERT_EQ(a.Count(), 1000);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(a[i], i + 1);
}

TEST(TBuffer, KeepsContentsWhileGrowing) {
  TBuffer b;
  b.Append("abc", 3);
  b.Reserve(1000);
  b.Append("def", 3);
  EXPECT_EQ(b.Length(), 6u);
  EXPECT_EQ(std::string(b.Chars(), 6), "abcdef");
}

// An interface with one extra slot, for counting tests.
struct ITestThing : IApiObject {
  virtual int32_t ORVO_STDCALL Value() = 0;
};

class TTestThing : public TApiObject<ITestThing> {
 public:
  explicit TTestThing(int* destroyed) : destroyed_(destroyed) {}
  ~TTestThing() override { ++*destroyed_; }
  int32_t ORVO_STDCALL Value() override { return 42; }

 private:
  int* destroyed_;
};

TEST(ApiObject, FreshObjectDiesOnOneRelease) {
  int destroyed = 0;
  ITestThing* thing = new TTestThing(&destroyed);
  EXPECT_EQ(thing->Value(), 42);
  EXPECT_EQ(thing->Release(), 0);
  EXPECT_EQ(destroyed, 1);
}

// The count starts at 0 and an object dies when a Release takes it below 1:
// a host that balances each AddRef with one Release frees it on its last one.
TEST(ApiObject, EachAddRefIsBalancedByOneRelease) {
  int destroyed = 0;
  ITestThing* thing = new TTestThing(&destroyed);
  EXPECT_EQ(thing->AddRef(), 1);
  EXPECT_EQ(thing->AddRef(), 2);
  EXPECT_EQ(thing->Release(), 1);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(thing->Release(), 0);
  EXPECT_EQ(destroyed, 1);
}

TEST(TAutoRelease, ReleasesOnceOnDestructionAndReset) {
  int destroyed = 0;
  {
    TAutoRelease<ITestThing> holder(new TTestThing(&destroyed));
    EXPECT_EQ(holder->Value(), 42);
    holder.Reset(new TTestThing(&destroyed));
    EXPECT_EQ(destroyed, 1);
  }
  EXPECT_EQ(destroyed, 2);
}

}  // namespace
}  // namespace orvo
