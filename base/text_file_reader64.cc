// Line reader over a sliding mapped window.
#include "base/text_file_reader64.h"

#include <cstring>

namespace orvo {

int64_t CopyLine(const uint8_t* data, int64_t available, char* buffer, int32_t n) {
  int64_t limit = available < n ? available : n;
  int64_t length = 0;
  while (length < limit && data[length] != '\r' && data[length] != '\n') ++length;
  std::memcpy(buffer, data, static_cast<size_t>(length));
  buffer[length] = '\0';
  int64_t consumed = length;
  if (consumed < available && (data[consumed] == '\r' || data[consumed] == '\n') && length < n) {
    // CR LF and LF CR are one line end; CR CR and LF LF are two.
    uint8_t partner = data[consumed] == '\r' ? '\n' : '\r';
    ++consumed;
    if (consumed < available && data[consumed] == partner) ++consumed;
  }
  return consumed;
}

TTextFileReader64::TTextFileReader64(const char* file_name, TViews views)
    : TFileReader64(file_name, kWindowRequest, views) {}

bool TTextFileReader64::Seek(int64_t position) {
  if (position < 0 || position >= Size()) return false;
  position_ = position;
  return true;
}

bool TTextFileReader64::ReadLine(char* buffer, int32_t n) {
  if (buffer == nullptr || n < 0 || position_ >= Size()) return false;
  // n characters, then at most a line end and its partner.
  int64_t available = Size() - position_;
  if (available > static_cast<int64_t>(n) + 2) available = static_cast<int64_t>(n) + 2;
  const uint8_t* data = MapRange(position_, available);
  if (data == nullptr) {
    buffer[0] = '\0';
    return false;
  }
  int64_t consumed = CopyLine(data, available, buffer, n);
  position_ += consumed;
  return consumed > 0;
}

}  // namespace orvo
