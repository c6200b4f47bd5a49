// Every listed export is declared in orvoapi.h and resolves under its plain and
// underscore names; the boundary guard and ExecuteOsCommand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "api/guard.h"
#include "base/errors.h"
#include "orvoapi.h"
#include "platform/win32.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace {

struct ListedExport {
  const char* name;
  const void* declared;  // taking the address proves the header declares it
};

#define ORVO_EXPORT(name) {#name, reinterpret_cast<const void*>(&::name)},
const ListedExport kListed[] = {
#include "export_names.inc"
};
#undef ORVO_EXPORT

std::string LibraryPath() {
  const char* from_env = std::getenv("ORVO_LIBRARY");
  if (from_env != nullptr && *from_env != '\0') return from_env;
#ifdef _WIN32
  return "orvoapi.dll";
#else
  return "liborvoapi.so";
#endif
}

TEST(Exports, EveryListedNameResolvesUnderBothNamesAndNothingElse) {
  HMODULE module = LoadLibraryA(LibraryPath().c_str());
  ASSERT_NE(module, nullptr) << LibraryPath() << " error " << GetLastError();
  for (const ListedExport& e : kListed) {
    FARPROC plain = GetProcAddress(module, e.name);
    FARPROC underscored = GetProcAddress(module, (std::string("_") + e.name).c_str());
    EXPECT_NE(plain, nullptr) << e.name;
    EXPECT_EQ(plain, underscored) << e.name;
  }
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  // Internal symbols stay hidden.
  for (const char* internal : {"_ZN4orvo12StrToDoubleEPKc", "StrToDouble", "_ZN4orvo5RaiseEPKc"})
    EXPECT_EQ(GetProcAddress(module, internal), nullptr) << internal;
  FreeLibrary(module);
}

TEST(Guard, EveryKindOfFailureGivesTheNeutralResult) {
  EXPECT_EQ(orvo::Guarded<int32_t>(-1, []() -> int32_t { orvo::Raise("error in spatial file"); }),
            -1);
  EXPECT_EQ(orvo::Guarded<void*>(nullptr, []() -> void* { throw std::bad_alloc(); }), nullptr);
  EXPECT_EQ(orvo::Guarded<bool>(false, []() -> bool { throw 17; }), false);
  EXPECT_EQ(orvo::Guarded<int64_t>(0, [] { return int64_t{1} << 40; }), int64_t{1} << 40);
  bool ran = false;
  orvo::GuardedVoid([&] {
    ran = true;
    throw std::runtime_error("ignored");
  });
  EXPECT_TRUE(ran);
  // A failed string getter writes one NUL and nothing else.
  char buffer[8] = "xxxxxxx";
  EXPECT_FALSE(
      orvo::GuardedCopyIfFits(buffer, 8, []() -> std::string { orvo::Raise("can't open file"); }));
  EXPECT_EQ(std::string(buffer, 3), std::string("\0xx", 3));
  EXPECT_TRUE(orvo::GuardedCopyIfFits(buffer, 8, [] { return std::string("roads"); }));
  EXPECT_STREQ(buffer, "roads");
}

// Child: writes a marker file named by its argument in its current directory,
// as its last act, and exits with code 3.
ORVO_CHILD(write_marker_then_exit_3) {
  std::ofstream(args.at(0)) << "done";
  return 3;
}

// Runs the command line (the export takes a writable one) in dir.
uint32_t RunIn(std::string line, const char* dir) { return ExecuteOsCommand(line.data(), dir); }

TEST(ExecuteOsCommand, WaitsForTheProgramInTheWorkingDirectoryAndReportsFailures) {
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
  EXPECT_EQ(ExecuteOsCommand(nullptr, nullptr), 1u);
  EXPECT_EQ(RunIn("orvo-no-such-program-4711 --flag", nullptr), 2u);  // file not found
}

}  // namespace
