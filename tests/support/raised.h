// What the library reports: the message a call raises, and the reports that
// reach the error hook.
#ifndef TESTS_SUPPORT_RAISED_H_
#define TESTS_SUPPORT_RAISED_H_

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/error_hook.h"

namespace orvotest {

// The message a call raises as the library's const char* exception; "" when
// it returns.
template <class Body>
std::string Raised(Body&& body) {
  try {
    body();
  } catch (const char* message) {
    return message;
  }
  return "";
}

// Collects the reports of the error hook while alive.
class RecordingHook : public orvo::IErrorNotify {
 public:
  RecordingHook() { orvo::SetErrorNotify(this); }
  ~RecordingHook() override { orvo::SetErrorNotify(nullptr); }
  RecordingHook(const RecordingHook&) = delete;
  RecordingHook& operator=(const RecordingHook&) = delete;
  void Notify(int32_t code, const char* text) override { reports.emplace_back(code, text); }

  std::vector<std::pair<int32_t, std::string>> reports;
};

}  // namespace orvotest

#endif  // TESTS_SUPPORT_RAISED_H_
