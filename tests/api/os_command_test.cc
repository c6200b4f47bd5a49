// ExecuteOsCommand through the export: start, wait, error codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

TEST(ExecuteOsCommand, NullCommandLineGivesOne) {
  EXPECT_EQ(ExecuteOsCommand(nullptr, nullptr), 1u);
}

TEST(ExecuteOsCommand, MissingProgramGivesFileNotFound) {
  char line[] = "orvo-no-such-program-4711 --flag";
  EXPECT_EQ(ExecuteOsCommand(line, nullptr), 2u);
}

TEST(ExecuteOsCommand, WaitsForTheProgramInTheWorkingDirectory) {
  orvotest::TempDir dir;
  std::string command =
      Quote(orvotest::SelfPath()) + " --orvo-child write_marker_then_exit_3 marker.txt";
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  // The exit code 3 is not reported; the call returns once the child has ended.
  EXPECT_EQ(ExecuteOsCommand(line.data(), dir.path().c_str()), 0u);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("marker.txt")), "done");
}

TEST(ExecuteOsCommand, BadWorkingDirectoryFailsWithTheSystemCode) {
  orvotest::TempDir dir;
  std::string command = Quote(orvotest::SelfPath()) + " --orvo-child write_marker_then_exit_3 m";
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  uint32_t result = ExecuteOsCommand(line.data(), dir.File("missing").c_str());
  EXPECT_NE(result, 0u);
  EXPECT_NE(result, 1u);
}

}  // namespace
