// How failures travel inside the library: a thrown pointer to a constant
// message ("can't open file"), or DataException for syntax errors of the INI
// reader. The exported entry points turn them into neutral results or pass them
// on (api/guard.h).
#ifndef BASE_ERRORS_H_
#define BASE_ERRORS_H_

#include <string>

namespace orvo {

// Messages shared by several modules. A module's own messages are defined as
// constants in that module; every message is thrown as `const char*`.
extern const char kCantOpenFile[];  // "can't open file"

// Throws the message as a `const char*`, the library's exception object.
[[noreturn]] void Raise(const char* message);

// Syntax error of INI text; carries its formatted message. Visible to hosts so
// that a C++ host can catch it by type from an unguarded export.
#ifdef _WIN32
#define ORVO_VISIBLE
#else
#define ORVO_VISIBLE __attribute__((visibility("default")))
#endif

class ORVO_VISIBLE DataException {
 public:
  explicit DataException(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

}  // namespace orvo

#endif  // BASE_ERRORS_H_
