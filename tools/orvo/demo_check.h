// Shared pieces of the demo steps: expectation counting and typed export lookup.
#ifndef TOOLS_ORVO_DEMO_CHECK_H_
#define TOOLS_ORVO_DEMO_CHECK_H_

#include <cstdio>

#include "orvoapi.h"
#include "tools/orvo/library.h"

namespace orvotool {

// Prints each expectation with its outcome and counts the failed ones.
class Checker {
 public:
  void Expect(bool ok, const char* what) {
    std::printf("  %-62s %s\n", what, ok ? "ok" : "FAILED");
    if (!ok) ++failures_;
  }
  int Failures() const { return failures_; }

 private:
  int failures_ = 0;
};

}  // namespace orvotool

// The export `name` of the loaded library, typed by its declaration in the
// public header (as a host that loads the library at run time would do).
#define ORVO_FN(lib, name) (lib).Get<decltype(&::name)>(#name)

#endif  // TOOLS_ORVO_DEMO_CHECK_H_
