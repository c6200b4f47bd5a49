// Line reader over a sliding mapped window.
#include "base/text_file_reader64.h"

namespace orvo {

int64_t CopyLine(const uint8_t* data, int64_t available, char* buffer, int32_t n) {
  int64_t i = 0;
  int32_t copied = 0;
  while (i < available && copied < n) {
    uint8_t c = data[i];
    if (c == '\r' || c == '\n') {
      ++i;
      // CR LF and LF CR are one line end; CR CR and LF LF are two.
      uint8_t partner = c == '\r' ? '\n' : '\r';
      if (i < available && data[i] == partner) ++i;
      break;
    }
    buffer[copied++] = static_cast<char>(c);
    ++i;
  }
  buffer[copied] = '\0';
  return i;
}

TTextFileReader64::TTextFileReader64(const char* file_name)
    : TFileReader64(file_name, kWindowRequest) {}

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
