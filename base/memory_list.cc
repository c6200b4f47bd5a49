// Line source over a private copy of a memory block.
#include "base/memory_list.h"

namespace orvo {

namespace {

inline bool IsLineEnd(char c) { return c == '\0' || c == '\n' || c == '\r'; }

}  // namespace

TMemoryList::TMemoryList(const char* bytes, int32_t size) {
  if (bytes != nullptr && size > 0) {
    data_.assign(bytes, bytes + size);
    size_ = size;
  }
}

TMemoryList::~TMemoryList() = default;

bool TMemoryList::GetLine(char* buffer, int32_t n) {
  if (buffer == nullptr) return false;
  while (position_ < size_ && IsLineEnd(data_[position_])) ++position_;
  int32_t length = 0;
  while (length < n && position_ < size_ && !IsLineEnd(data_[position_])) {
    buffer[length++] = data_[position_++];
  }
  buffer[length] = '\0';
  return length > 0;
}

}  // namespace orvo
