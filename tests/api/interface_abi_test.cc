// Interface slots called from C reach the C++ implementation.
#include <gtest/gtest.h>

#include "base/api_object.h"
#include "orvoapi.h"

extern "C" {
int32_t OrvoCAddRef(IApiObject* object);
int32_t OrvoCRelease(IApiObject* object);
int OrvoCBoundSize(void);
}

namespace {

class TCounted : public orvo::TApiObject<IApiObject> {
 public:
  explicit TCounted(bool* destroyed) : destroyed_(destroyed) {}
  ~TCounted() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST(InterfaceAbi, CCallersReachAddRefAndReleaseBySlot) {
  bool destroyed = false;
  IApiObject* object = new TCounted(&destroyed);
  EXPECT_EQ(OrvoCAddRef(object), 1);
  EXPECT_EQ(OrvoCAddRef(object), 2);
  EXPECT_EQ(OrvoCRelease(object), 1);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(OrvoCRelease(object), 0);
  EXPECT_TRUE(destroyed);
}

TEST(InterfaceAbi, BoundIsFourDoubles) {
  EXPECT_EQ(OrvoCBoundSize(), 32);
  EXPECT_EQ(sizeof(BOUND), 32u);
}

}  // namespace
