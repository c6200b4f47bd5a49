// Writer of a new file of any size through mapped windows.
#ifndef BASE_FILE_WRITER64_H_
#define BASE_FILE_WRITER64_H_

#include <cstdint>

namespace orvo {

// Replaces the named file with a new one and writes it through a read-write
// mapping that grows in whole windows. The file is cut to the highest byte
// written when the writer is destroyed. Writes may go anywhere (Seek), also
// before the end.
class TFileWriter64 {
 public:
  // Deletes any file of that name and creates it anew (others may read and
  // write it). Throws "can't open file" when it cannot be created.
  TFileWriter64(const char* file_name, uint32_t window_request);
  // Flushes and unmaps, cuts the file to its logical size and closes it.
  virtual ~TFileWriter64();
  TFileWriter64(const TFileWriter64&) = delete;
  TFileWriter64& operator=(const TFileWriter64&) = delete;

  // Copies length bytes at the write position and advances it. False for a
  // null pointer or when no view can be made (the position is unchanged).
  bool Write(const void* bytes, int64_t length);
  void Seek(int64_t position) { position_ = position; }
  int64_t Tell() const { return position_; }
  // The highest byte position written so far.
  int64_t LogicalSize() const { return logical_size_; }

  // Pointer to length writable bytes at position, valid until the next call
  // that moves the view; null when no view can be made. Raises the logical size
  // to position + length like Write.
  uint8_t* MapRange(int64_t position, int64_t length);

 private:
  bool EnsureWindow(int64_t position, int64_t length);
  void Unmap();

  void* file_ = nullptr;          // file handle (HANDLE)
  void* mapping_ = nullptr;       // current read-write mapping, or null
  int64_t mapping_size_ = 0;      // size of mapping_ (the file grows to it)
  int64_t logical_size_ = 0;      // highest byte position written
  int64_t position_ = 0;          // write position
  uint8_t* view_ = nullptr;       // current view, or null
  int64_t view_start_ = 0;        // file offset of view_[0]
  int64_t view_length_ = 0;       // bytes in the view
  uint32_t window_ = 0;           // window size
};

}  // namespace orvo

#endif  // BASE_FILE_WRITER64_H_
