// Cross-process tests start this test program again in a child mode: the child
// runs one registered function and reports through its exit code.
#ifndef TESTS_SUPPORT_CHILD_H_
#define TESTS_SUPPORT_CHILD_H_

#include <string>
#include <vector>

#include "platform/win32.h"

namespace orvotest {

using ChildMain = int (*)(const std::vector<std::string>& args);

// Registers a child mode by name (through ORVO_CHILD).
bool RegisterChild(const char* name, ChildMain body);

// The command line that starts the named child (Windows quoting).
std::string ChildCommandLine(const std::string& name, const std::vector<std::string>& args);

// Starts the named child (in directory when given) without waiting for it; the
// caller closes the handles. False when it did not start.
bool StartChild(const std::string& name, const std::vector<std::string>& args,
                PROCESS_INFORMATION* process, const char* directory = nullptr);

// Runs the named child and returns its exit code, or -1 when it did not start.
int RunChild(const std::string& name, const std::vector<std::string>& args);

// The test program's path, as main() received it.
const std::string& SelfPath();

// For main(): true, with the exit code, when argv asked for a child mode.
bool MaybeRunChild(int argc, char** argv, int* exit_code);

}  // namespace orvotest

#define ORVO_CHILD(name)                                         \
  static int name##_child(const std::vector<std::string>& args); \
  [[maybe_unused]] static const bool name##_registered =         \
      ::orvotest::RegisterChild(#name, name##_child);            \
  static int name##_child([[maybe_unused]] const std::vector<std::string>& args)

#endif  // TESTS_SUPPORT_CHILD_H_
