// Read-only access to a file of any size through one sliding mapped window.
#ifndef BASE_FILE_READER64_H_
#define BASE_FILE_READER64_H_

#include <cstdint>

#include "base/os_file.h"

namespace orvo {

// How much of the file one view shows.
enum class TViews {
  kWholeFileWhereRoom,  // in a 64-bit process, the whole file; else windows
  kWindows,             // windows only, whatever the process
};

// Opens the file for reading (others may read it too) and maps it read-only.
// Data is reached through one view: of the whole file where the address space
// has room for it, else of whole windows, replaced only when an access falls
// outside the view. Pointers returned by MapRange stay valid
// until the next call that moves the view (MapRange or EnsureWindow of a range
// the view does not cover) or until the reader is destroyed.
class TFileReader64 {
 public:
  // window_request: bytes the caller wants to reach at once; the window is
  // (request / granularity + 1) * granularity. Throws "can't open file".
  TFileReader64(const char* file_name, uint32_t window_request,
                TViews views = TViews::kWholeFileWhereRoom);
  virtual ~TFileReader64();
  TFileReader64(const TFileReader64&) = delete;
  TFileReader64& operator=(const TFileReader64&) = delete;

  // Makes the view cover [position, position + length). False when the range
  // is not inside the file (or position/length are negative) or the view
  // cannot be mapped.
  bool EnsureWindow(int64_t position, int64_t length);
  // EnsureWindow, then a pointer to the byte at position; null on failure.
  // A range inside the current view (the usual case of a forward walk) is
  // answered here without a call.
  const uint8_t* MapRange(int64_t position, int64_t length) {
    if (view_ != nullptr && position >= view_start_ && length >= 0 &&
        length <= view_start_ + view_length_ - position)
      return view_ + (position - view_start_);
    return MapRangeMoving(position, length);
  }

  int64_t Size() const { return size_; }
  uint32_t Window() const { return window_; }

 private:
  void Unmap();
  const uint8_t* MapRangeMoving(int64_t position, int64_t length);

  TOsHandle file_;
  TOsHandle mapping_;              // read-only mapping of the whole file; empty when the file is
  int64_t size_ = 0;               // file size in bytes
  const uint8_t* view_ = nullptr;  // current view, or null
  int64_t view_start_ = 0;         // file offset of view_[0], a multiple of window_
  int64_t view_length_ = 0;        // bytes in the view
  uint32_t window_ = 0;            // window size, a multiple of the allocation granularity
  bool whole_view_ = false;        // one view of the whole file is to be tried
};

// Window size for a request: (request / G + 1) * G, G the allocation granularity.
uint32_t WindowFor(uint32_t window_request);

}  // namespace orvo

#endif  // BASE_FILE_READER64_H_
