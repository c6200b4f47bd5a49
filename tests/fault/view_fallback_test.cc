// A file reader whose view of the whole file is refused (the address space
// has no room for it) goes on through windows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/file_reader64.h"
#include "platform/linux/fault_injection.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::linux_api::ArmFault;
using orvo::linux_api::DisarmFaults;
using orvo::linux_api::FaultCalls;
using orvo::linux_api::FaultKind;

TEST(ViewFallback, RefusedWholeViewGivesWindows) {
  orvotest::TempDir dir;
  const std::string path = dir.File("data.bin");
  std::string bytes(3 * 1048576 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13);
  orvotest::WriteFileBytes(path, bytes);
  orvo::TFileReader64 reader(path.c_str(), 1000000);
  ArmFault(FaultKind::kView, 1);
  const uint8_t* first = reader.MapRange(1048576 - 5, 10);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(std::memcmp(first, bytes.data() + 1048576 - 5, 10), 0);
  const uint8_t* last = reader.MapRange(reader.Size() - 4, 4);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(std::memcmp(last, bytes.data() + bytes.size() - 4, 4), 0);
  // The refused whole view, the window of the first range, and the window
  // the last range moved to.
  EXPECT_EQ(FaultCalls(FaultKind::kView), 3);
  DisarmFaults();
}

}  // namespace
