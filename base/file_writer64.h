// Writer of a new file of any size through a reused write buffer.
#ifndef BASE_FILE_WRITER64_H_
#define BASE_FILE_WRITER64_H_

#include <cstdint>
#include <memory>
#include <string>

#include "base/os_file.h"

namespace orvo {

// Replaces the named file with a new one and writes it through a buffer that
// collects consecutive bytes and hands them to the file in large writes.
// Writes may go anywhere (Seek), also before the end; bytes skipped over read
// as 0. A write the file does not take completely is reported as a failure
// by the call that hands the buffer on (or by Flush); the bytes it did not
// take stay in the buffer, so that nothing reported written is dropped while
// a later call may still succeed.
class TFileWriter64 {
 public:
  // Deletes any file of that name and creates it anew (others may read and
  // write it). The buffer holds the window for buffer_request (whole
  // allocation granules). Throws "can't open file" when it cannot be created.
  TFileWriter64(const char* file_name, uint32_t buffer_request);
  // Hands the buffer to the file and closes it. When the file does not take
  // the last bytes, which no caller hears of, the file is deleted: a reader
  // must not take its first part for the whole.
  virtual ~TFileWriter64();
  TFileWriter64(const TFileWriter64&) = delete;
  TFileWriter64& operator=(const TFileWriter64&) = delete;

  // Copies length bytes at the write position and advances it. False for a
  // null pointer or when the bytes cannot be placed (the position is then
  // unchanged).
  bool Write(const void* bytes, int64_t length);
  void Seek(int64_t position) { position_ = position; }
  int64_t Tell() const { return position_; }
  // The highest byte position written so far.
  int64_t LogicalSize() const { return logical_size_; }

  // Pointer to length bytes at position inside the buffer, valid until the
  // next call that writes; the caller fills every one of them. Null when the
  // range cannot be placed. Raises the logical size to position + length like
  // Write; the write position is not moved.
  uint8_t* MapRange(int64_t position, int64_t length);

  // Hands the buffered bytes to the file; false when it did not take them all.
  bool Flush();

 private:
  // Makes the buffer cover [position, position + length); false when the
  // bytes before cannot be flushed or the buffer cannot hold the range.
  bool Place(int64_t position, int64_t length);
  // Hands the first count buffered bytes to the file and moves the rest to
  // the front; false when the file did not take them all (what it took is out
  // of the buffer all the same).
  bool HandOn(int64_t count);

  const std::string file_name_;
  TOsHandle file_;
  std::unique_ptr<uint8_t[]> buffer_;
  int64_t capacity_ = 0;      // bytes the buffer holds
  int64_t buffer_start_ = 0;  // file offset of buffer_[0]
  int64_t buffer_used_ = 0;   // bytes of the buffer not yet in the file
  int64_t logical_size_ = 0;  // highest byte position written
  int64_t position_ = 0;      // write position
};

}  // namespace orvo

#endif  // BASE_FILE_WRITER64_H_
