// ExecuteOsCommand through the export: start, wait, error codes.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "orvoapi.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace {

// Child: writes a marker file named by its argument in its current directory,
// as its last act, and exits with code 3.
ORVO_CHILD(write_marker_then_exit_3) {
  std::ofstream(args.at(0)) << "done";
  return 3;
}

// Runs the command line (the export takes a writable one) in dir.
uint32_t RunIn(std::string line, const char* dir) { return ExecuteOsCommand(line.data(), dir); }

TEST(ExecuteOsCommand, WaitsForTheProgramInTheWorkingDirectory) {
  orvotest::TempDir dir;
  const std::string child =
      "\"" + orvotest::SelfPath() + "\" --orvo-child write_marker_then_exit_3 marker.txt";
  // The exit code 3 is not reported; the call returns once the child has ended.
  EXPECT_EQ(RunIn(child, dir.path().c_str()), 0u);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("marker.txt")), "done");
  // A working directory that does not exist: the system's code.
  const uint32_t result = RunIn(child, dir.File("missing").c_str());
  EXPECT_NE(result, 0u);
  EXPECT_NE(result, 1u);
}

TEST(ExecuteOsCommand, NullOrMissingProgramFails) {
  EXPECT_EQ(ExecuteOsCommand(nullptr, nullptr), 1u);
  EXPECT_EQ(RunIn("orvo-no-such-program-4711 --flag", nullptr), 2u);  // file not found
}

}  // namespace
