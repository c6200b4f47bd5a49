// Interface slots of rasters called from C reach the C++ objects.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

extern "C" int OrvoCRasterSlots(const char* file_name);
extern "C" int OrvoCTransformedRasterSlots(const char* file_name, const char* corners_name);

namespace orvotest {
namespace {

TEST(RasterAbi, CHostCallsEverySlot) {
  TempDir dir;
  std::string path = dir.File("c.raster");
  ASSERT_EQ(OrvoCRasterSlots(path.c_str()), 0) << "line of the failed check";
  EXPECT_EQ(OrvoCTransformedRasterSlots(path.c_str(), (path + ".corners").c_str()), 0)
      << "line of the failed check";
}

}  // namespace
}  // namespace orvotest
