// Contract tests of child processes: starting, command-line quoting, working
// directory, waiting with and without timeouts, and exit codes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

const std::vector<std::string> kAwkwardArguments = {
    "two words", "quote\"inside", "trailing\\", "back\\\\\"mix", "", "tab\there"};

ORVO_CHILD(platform_exit_with) { return std::stoi(args.at(0)); }

// Exits with 0 when the arguments arrived exactly as sent, else with the
// 1-based index of the first that did not (or 99 for a wrong count).
ORVO_CHILD(platform_check_arguments) {
  if (args.size() != kAwkwardArguments.size()) return 99;
  for (size_t i = 0; i < args.size(); ++i)
    if (args[i] != kAwkwardArguments[i]) return static_cast<int>(i + 1);
  return 0;
}

// Exits with 0 when started in directory args[0], else 1.
ORVO_CHILD(platform_check_directory) {
  std::error_code error;
  return std::filesystem::equivalent(std::filesystem::current_path(), args.at(0), error) ? 0 : 1;
}

// Runs until file args[0] appears (exit 7); gives up when its directory goes
// away or after a minute (exit 9).
ORVO_CHILD(platform_wait_for_file) {
  const std::filesystem::path flag = args.at(0);
  auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!std::filesystem::exists(flag)) {
    if (!std::filesystem::exists(flag.parent_path())) return 9;
    if (std::chrono::steady_clock::now() > give_up) return 9;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return 7;
}

// CreateProcessA with the command line; the caller closes the handles.
bool Start(std::string command_line, PROCESS_INFORMATION* process,
           const char* directory = nullptr) {
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  return CreateProcessA(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory, &startup, process) != FALSE;
}

TEST(PlatformProcessTest, MissingProgramFailsWithFileNotFound) {
  TempDir dir;
  PROCESS_INFORMATION process{};
  EXPECT_EQ(ErrorOf(Start("\"" + dir.File("no_such_program") + "\" argument", &process)),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(process.hProcess, nullptr);
  EXPECT_EQ(ErrorOf(Start("orvo_no_such_program_on_the_path argument", &process)),
            ERROR_FILE_NOT_FOUND);
}

TEST(PlatformProcessTest, ExitCodeArrivesThroughTheWait) {
  EXPECT_EQ(RunChild("platform_exit_with", {"42"}), 42);
  EXPECT_EQ(RunChild("platform_exit_with", {"0"}), 0);
}

TEST(PlatformProcessTest, ArgumentsSurviveWindowsQuoting) {
  EXPECT_EQ(RunChild("platform_check_arguments", kAwkwardArguments), 0);
}

TEST(PlatformProcessTest, WorkingDirectoryIsTheOneGiven) {
  TempDir dir;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(Start(ChildCommandLine("platform_check_directory", {dir.path()}), &process,
                    dir.path().c_str()));
  ScopedHandle owned_process(process.hProcess), owned_thread(process.hThread);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, INFINITE), WAIT_OBJECT_0);
  DWORD code = 99;
  EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &code));
  EXPECT_EQ(code, 0u);

  PROCESS_INFORMATION refused{};
  EXPECT_EQ(ErrorOf(Start(ChildCommandLine("platform_exit_with", {"0"}), &refused,
                          dir.File("absent").c_str())),
            ERROR_DIRECTORY);
}

TEST(PlatformProcessTest, WaitTimesOutWhileRunningAndSucceedsRepeatedlyAfter) {
  TempDir dir;
  std::string flag = dir.File("go");
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(Start(ChildCommandLine("platform_wait_for_file", {flag}), &process));
  ScopedHandle owned_process(process.hProcess), owned_thread(process.hThread);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(process.hThread, 30), WAIT_TIMEOUT);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

  ASSERT_TRUE(MakeFile(flag, "go"));
  EXPECT_EQ(WaitForSingleObject(process.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(process.hThread, 0), WAIT_OBJECT_0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(GetExitCodeProcess(process.hProcess, &code));
    EXPECT_EQ(code, 7u);
  }
}

TEST(PlatformProcessTest, HandlesOfARunningChildCloseAndGoStale) {
  TempDir dir;
  std::string flag = dir.File("go");
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(Start(ChildCommandLine("platform_wait_for_file", {flag}), &process));
  EXPECT_TRUE(CloseHandle(process.hThread));
  EXPECT_TRUE(CloseHandle(process.hProcess));
  DWORD code = 0;
  EXPECT_EQ(ErrorOf(GetExitCodeProcess(process.hProcess, &code)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  ASSERT_TRUE(MakeFile(flag, "go"));  // let the child end on its own
}

}  // namespace
}  // namespace orvotest
