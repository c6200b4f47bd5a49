// Palette slots and image contexts used from C reach the C++ objects.
#include <gtest/gtest.h>

extern "C" int OrvoCPaletteSlots(void);
extern "C" int OrvoCImageDc(void);

namespace orvotest {
namespace {

TEST(DisplayAbi, CHostCallsEveryPaletteSlotAndDrawsIntoAnImage) {
  EXPECT_EQ(OrvoCPaletteSlots(), 0) << "line of the failed check";
  EXPECT_EQ(OrvoCImageDc(), 0) << "line of the failed check";
}

}  // namespace
}  // namespace orvotest
