// Line reader over a mapped file of any size.
#ifndef BASE_TEXT_FILE_READER64_H_
#define BASE_TEXT_FILE_READER64_H_

#include <cstdint>

#include "base/file_reader64.h"

namespace orvo {

// Hands out the lines of a file. CR, LF, CR LF and LF CR each end one line;
// two equal line-end characters in a row are two line ends (the second makes an
// empty line). Throws "can't open file" from the constructor.
class TTextFileReader64 : public TFileReader64 {
 public:
  static constexpr uint32_t kWindowRequest = 1000000;

  explicit TTextFileReader64(const char* file_name, TViews views = TViews::kWholeFileWhereRoom);

  int64_t Tell() const { return position_; }
  // Sets the read position; false (nothing changes) unless it is inside the file.
  bool Seek(int64_t position);

  // Reads the next line into buffer (which holds n + 1 bytes): at most n
  // characters, the rest of a longer line coming as the next line. The line end
  // is consumed, not stored; the copy is NUL-terminated. False at the end of the
  // file or for a null buffer.
  bool ReadLine(char* buffer, int32_t n);

 private:
  int64_t position_ = 0;
};

// The line-splitting step shared by the line readers: copies bytes from
// data[0] up to a CR or LF, n characters or available bytes, NUL-terminates
// the copy in buffer, and returns how many bytes were consumed, counting the
// line end and the other half of a CR LF or LF CR pair.
int64_t CopyLine(const uint8_t* data, int64_t available, char* buffer, int32_t n);

}  // namespace orvo

#endif  // BASE_TEXT_FILE_READER64_H_
