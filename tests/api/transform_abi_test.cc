// The coordinate and transform slots called from C (transform_c_test.c).
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_dir.h"

extern "C" int OrvoCTransformSlots(const char* file_name);

namespace {

TEST(InterfaceAbi, CCallersReachEveryCoordsAndTransformSlot) {
  orvotest::TempDir dir;
  std::string file = dir.File("c.corners");
  EXPECT_EQ(OrvoCTransformSlots(file.c_str()), 0) << "the check on this line of the C file failed";
  EXPECT_EQ(orvotest::ReadFileBytes(file).size(), 3u * (4 * 21 + 2));
}

}  // namespace
