// The release holder (reference counting is checked through the C host test).
#include "base/holders.h"

#include <gtest/gtest.h>

#include "base/api_object.h"

namespace orvo {
namespace {

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
