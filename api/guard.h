// The one place where exceptions stop at the boundary: guarded exports run
// their body through Guarded and return the family's neutral result on any
// failure (a thrown message, a DataException, a failed allocation, anything).
#ifndef API_GUARD_H_
#define API_GUARD_H_

#include <cstdint>
#include <string>

#include "base/string_copy.h"

namespace orvo {

template <class R, class Body>
R Guarded(R neutral, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return neutral;
  }
}

// For exports without a result.
template <class Body>
void GuardedVoid(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// Guarded string getter under the copy-if-it-fits rule: body returns the text;
// on failure the buffer's first byte becomes NUL and the result is false.
template <class Body>
bool GuardedCopyIfFits(char* buffer, int32_t size, Body&& body) noexcept {
  try {
    return CopyIfFits(body(), buffer, size);
  } catch (...) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    return false;
  }
}

}  // namespace orvo

#endif  // API_GUARD_H_
