// Line reader over a whole-file mapping.
#include "base/text_file_reader.h"

#include "base/errors.h"
#include "base/text_file_reader64.h"

namespace orvo {

TTextFileReader::TTextFileReader(const char* file_name) : TFileReader(file_name) {
  // Positions are 32-bit signed: larger files are refused rather than misread.
  if (Size() > static_cast<uint32_t>(INT32_MAX)) Raise(kCantOpenFile);
}

bool TTextFileReader::Seek(int32_t position) {
  if (position < 0 || static_cast<uint32_t>(position) >= Size()) return false;
  position_ = position;
  return true;
}

bool TTextFileReader::ReadLine(char* buffer, int32_t n) {
  if (buffer == nullptr || n < 0 || static_cast<uint32_t>(position_) >= Size()) return false;
  int64_t consumed =
      CopyLine(Data() + position_, Size() - static_cast<uint32_t>(position_), buffer, n);
  position_ += static_cast<int32_t>(consumed);
  return consumed > 0;
}

}  // namespace orvo
