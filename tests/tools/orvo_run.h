// Runs an orvo command inside the test program and captures what it prints.
#ifndef TESTS_TOOLS_ORVO_RUN_H_
#define TESTS_TOOLS_ORVO_RUN_H_

#include <string>
#include <vector>

namespace orvotest {

struct OrvoRun {
  int code;
  std::string out, err;
};

// args after the program name, as in `orvo ARGS...`.
OrvoRun Orvo(const std::vector<std::string>& args);

}  // namespace orvotest

#endif  // TESTS_TOOLS_ORVO_RUN_H_
