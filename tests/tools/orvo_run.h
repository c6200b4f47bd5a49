// Runs an orvo command inside the test program and captures what it prints.
#ifndef TESTS_TOOLS_ORVO_RUN_H_
#define TESTS_TOOLS_ORVO_RUN_H_

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace orvotest {

struct OrvoRun {
  int code;
  std::string out, err;
};

// A file a command prints into, read back afterwards. Not std::tmpfile: the
// Windows runtime names those files in one shared place, so test programs run
// side by side under wine could open the same one.
class CapturedOutput {
 public:
  CapturedOutput();
  ~CapturedOutput();
  CapturedOutput(const CapturedOutput&) = delete;
  CapturedOutput& operator=(const CapturedOutput&) = delete;

  std::FILE* file() const { return file_; }
  // Everything printed so far.
  std::string Text();

 private:
  TempDir dir_;
  std::FILE* file_;
};

// args after the program name, as in `orvo ARGS...`.
OrvoRun Orvo(const std::vector<std::string>& args);
// The exit code and what the run printed to stderr, as "CODE ERR".
std::string CodeAndErr(const std::vector<std::string>& args);
// The names of the files in the directory.
std::set<std::string> FilesIn(const std::string& dir);

}  // namespace orvotest

#endif  // TESTS_TOOLS_ORVO_RUN_H_
