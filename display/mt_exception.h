// The exception raised when the GDI refuses a device context or a bitmap.
#ifndef DISPLAY_MT_EXCEPTION_H_
#define DISPLAY_MT_EXCEPTION_H_

#include <cstdint>
#include <string>

#include "base/errors.h"

namespace mt {

// Raised by value; copies carry the code (0 for the GDI failures) and the
// message. Visible to hosts so that a C++ host can catch it by type from an
// unguarded export.
class ORVO_VISIBLE MtException {
 public:
  MtException(int32_t code, std::string message) : code_(code), message_(std::move(message)) {}
  virtual ~MtException() = default;

  int32_t Code() const { return code_; }
  const std::string& Message() const { return message_; }

 private:
  int32_t code_;
  std::string message_;
};

inline constexpr char kCantCreateDc[] = "can't create dc";
inline constexpr char kCantCreateBitmap[] = "can't create bitmap";

}  // namespace mt

#endif  // DISPLAY_MT_EXCEPTION_H_
