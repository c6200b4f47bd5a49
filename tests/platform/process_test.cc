// Contract tests of child processes: command-line quoting and a working
// directory that is not there. (Starting in a directory, waiting and missing
// programs are covered through ExecuteOsCommand and RunChild.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

const std::vector<std::string> kAwkwardArguments = {
    "two words", "quote\"inside", "trailing\\", "back\\\\\"mix", "", "tab\there"};

// Exits with 0 when the arguments arrived exactly as sent, else with the
// 1-based index of the first that did not (or 99 for a wrong count).
ORVO_CHILD(platform_check_arguments) {
  if (args.size() != kAwkwardArguments.size()) return 99;
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] != kAwkwardArguments[i]) return static_cast<int>(i + 1);
  return 0;
}

TEST(PlatformProcessTest, ArgumentsSurviveWindowsQuotingAndAMissingDirectoryIsRefused) {
  EXPECT_EQ(RunChild("platform_check_arguments", kAwkwardArguments), 0);
  TempDir dir;
  PROCESS_INFORMATION refused{};
  EXPECT_EQ(ErrorOf(StartChild("platform_check_arguments", kAwkwardArguments, &refused,
                               dir.File("absent").c_str())),
            ERROR_DIRECTORY);
}

}  // namespace
}  // namespace orvotest
