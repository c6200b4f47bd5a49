// Interface slots of rasters called from C reach the C++ objects.
#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

extern "C" int OrvoCRasterSlots(const char* file_name);

namespace orvotest {
namespace {

TEST(RasterAbi, CHostCallsEverySlot) {
  TempDir dir;
  EXPECT_EQ(OrvoCRasterSlots(dir.File("c.raster").c_str()), 0) << "line of the failed check";
}

}  // namespace
}  // namespace orvotest
