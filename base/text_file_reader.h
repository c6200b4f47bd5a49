// Line reader with 32-bit positions over a whole-file mapping.
#ifndef BASE_TEXT_FILE_READER_H_
#define BASE_TEXT_FILE_READER_H_

#include <cstdint>

#include "base/file_reader.h"

namespace orvo {

// Hands out the lines of a file below 2 GiB, by the same line rules as
// TTextFileReader64. Throws "can't open file", also for larger files.
class TTextFileReader : public TFileReader {
 public:
  explicit TTextFileReader(const char* file_name);

  int32_t Tell() const { return position_; }
  // False (nothing changes) unless position is inside the file.
  bool Seek(int32_t position);
  // Next line into buffer (n + 1 bytes), at most n characters; false at the end.
  bool ReadLine(char* buffer, int32_t n);

 private:
  int32_t position_ = 0;
};

}  // namespace orvo

#endif  // BASE_TEXT_FILE_READER_H_
