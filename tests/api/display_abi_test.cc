// Palette, raster view, histogram and sign library slots and image contexts
// used from C reach the C++ objects.
#include <gtest/gtest.h>

#include "tests/display/display_test_util.h"
#include "tests/support/pgm_builder.h"
#include "tests/support/temp_dir.h"

extern "C" int OrvoCPaletteSlots(void);
extern "C" int OrvoCImageDc(void);
extern "C" int OrvoCViewAndHistogramSlots(const char* path, const char* histogram_path);
extern "C" int OrvoCPgmSlots(const char* path);

namespace orvotest {
namespace {

TEST(DisplayAbi, CHostCallsEveryPaletteSlotAndDrawsIntoAnImage) {
  EXPECT_EQ(OrvoCPaletteSlots(), 0) << "line of the failed check";
  EXPECT_EQ(OrvoCImageDc(), 0) << "line of the failed check";
}

TEST(DisplayAbi, CHostCallsEveryViewAndHistogramSlot) {
  TempDir dir;
  const std::string path = dir.File("v.raster");
  ASSERT_NE(MakeRaster(path, 4, 2, 4, 2, 2,
                       [](int32_t x, int32_t y) { return static_cast<uint32_t>(10 * y + x); }),
            nullptr);
  EXPECT_EQ(OrvoCViewAndHistogramSlots(path.c_str(), dir.File("v.hst").c_str()), 0)
      << "line of the failed check";
}

TEST(DisplayAbi, CHostCallsEveryPgmSlot) {
  TempDir dir;
  const std::string path = dir.File("signs.pgm");
  const auto colour = [](int32_t x, int32_t y) -> uint32_t {
    return x == 1 && y == 0 ? 0xFF0000 : 0xFFFFFF;
  };
  WriteFileBytes(path, PgmFile(PgmRecord("Zred", 1, 1, 3, 2, BmpImage(3, 2, colour)) +
                               PgmRecord("plain", 0, 0, 3, 2, BmpImage(3, 2, colour))));
  EXPECT_EQ(OrvoCPgmSlots(path.c_str()), 0) << "line of the failed check";
}

}  // namespace
}  // namespace orvotest
