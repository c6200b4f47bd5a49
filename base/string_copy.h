// The two rules by which string results are copied into caller buffers.
#ifndef BASE_STRING_COPY_H_
#define BASE_STRING_COPY_H_

#include <cstdint>
#include <cstring>
#include <string_view>

namespace orvo {

// Copy-if-it-fits: copies the text and its NUL when its length is less than
// size and returns true; otherwise writes nothing and returns false.
inline bool CopyIfFits(std::string_view text, char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0 || text.size() >= static_cast<size_t>(size)) return false;
  if (!text.empty()) std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return true;
}

// Bounded copy: at most size bytes; a shorter text is followed by NUL bytes up
// to size, a longer one fills the buffer without a NUL. Returns true.
inline bool BoundedCopy(std::string_view text, char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return true;
  size_t n = text.size() < static_cast<size_t>(size) ? text.size() : static_cast<size_t>(size);
  if (n != 0) std::memcpy(buffer, text.data(), n);
  std::memset(buffer + n, 0, static_cast<size_t>(size) - n);
  return true;
}

}  // namespace orvo

#endif  // BASE_STRING_COPY_H_
