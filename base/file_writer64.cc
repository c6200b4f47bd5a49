// Writer of a new file through a reused buffer and positioned writes.
#include "base/file_writer64.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "base/errors.h"
#include "base/file_reader64.h"
#include "platform/win32.h"

namespace orvo {
namespace {

// Largest piece handed to one WriteFile call.
constexpr int64_t kMaxPiece = 0x40000000;
// Writes of a growing file start and end on this boundary where they can: the
// system then caches the file in large pieces instead of page by page, which
// makes writing a long file about a fifth cheaper.
constexpr int64_t kWriteBoundary = 0x10000;

// Writes length bytes at position; *done tells how many the file took.
bool WriteAt(void* file, int64_t position, const uint8_t* bytes, int64_t length, int64_t* done) {
  *done = 0;
  while (*done < length) {
    int64_t piece = length - *done < kMaxPiece ? length - *done : kMaxPiece;
    uint64_t at = static_cast<uint64_t>(position + *done);
    OVERLAPPED where = {};
    where.Offset = LowPart(static_cast<int64_t>(at));
    where.OffsetHigh = HighPart(static_cast<int64_t>(at));
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes + *done, static_cast<DWORD>(piece), &written, &where);
    *done += written;
    if (!ok || written != static_cast<DWORD>(piece)) return false;
  }
  return true;
}

}  // namespace

TFileWriter64::TFileWriter64(const char* file_name, uint32_t buffer_request)
    : file_name_(file_name),
      buffer_(new uint8_t[WindowFor(buffer_request)]),
      capacity_(WindowFor(buffer_request)) {
  DeleteFileA(file_name);
  file_ = OpenOsFile(file_name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     CREATE_NEW);
  if (!file_) Raise(kCantOpenFile);
}

TFileWriter64::~TFileWriter64() {
  if (Flush()) return;
  file_.Reset();  // closed first: our own share mode would refuse the delete
  DeleteFileA(file_name_.c_str());
}

bool TFileWriter64::Flush() { return HandOn(buffer_used_); }

bool TFileWriter64::HandOn(int64_t count) {
  if (count == 0) return true;
  int64_t done = 0;
  bool ok = WriteAt(file_.Get(), buffer_start_, buffer_.get(), count, &done);
  // What the file took is out of the buffer; the rest waits for the next try.
  if (done > 0) {
    std::memmove(buffer_.get(), buffer_.get() + done, static_cast<size_t>(buffer_used_ - done));
    buffer_start_ += done;
    buffer_used_ -= done;
  }
  return ok;
}

bool TFileWriter64::Place(int64_t position, int64_t length) {
  if (position < 0 || length < 0 || position > INT64_MAX - length) return false;
  int64_t end = position + length;
  // Bytes join the buffer when they continue or overwrite what it holds.
  bool continues = position >= buffer_start_ && position <= buffer_start_ + buffer_used_;
  bool inside = continues && end - buffer_start_ <= capacity_;
  if (continues && !inside) {
    // The buffer is full: the file takes its bytes up to the last boundary
    // before position, and the rest stays to be completed.
    int64_t cut = position / kWriteBoundary * kWriteBoundary - buffer_start_;
    if (cut > 0) {
      if (!HandOn(cut)) return false;
      inside = end - buffer_start_ <= capacity_;
    }
  }
  if (!inside) {
    if (!Flush()) return false;
    if (length > capacity_) {
      if (static_cast<uint64_t>(length) > SIZE_MAX) return false;
      uint8_t* larger = new (std::nothrow) uint8_t[static_cast<size_t>(length)];
      if (larger == nullptr) return false;
      buffer_.reset(larger);
      capacity_ = length;
    }
    buffer_start_ = position;
    buffer_used_ = 0;
  }
  if (end - buffer_start_ > buffer_used_) buffer_used_ = end - buffer_start_;
  if (end > logical_size_) logical_size_ = end;
  return true;
}

uint8_t* TFileWriter64::MapRange(int64_t position, int64_t length) {
  if (!Place(position, length)) return nullptr;
  return buffer_.get() + (position - buffer_start_);
}

bool TFileWriter64::Write(const void* bytes, int64_t length) {
  if (bytes == nullptr || length < 0) return false;
  if (length == 0) return true;
  if (length > capacity_) {
    // Too large to collect: straight to the file, after what is buffered.
    if (position_ < 0 || position_ > INT64_MAX - length || !Flush()) return false;
    int64_t done = 0;
    bool ok = WriteAt(file_.Get(), position_, static_cast<const uint8_t*>(bytes), length, &done);
    if (done > 0 && position_ + done > logical_size_) logical_size_ = position_ + done;
    if (!ok) return false;
    position_ += length;
    return true;
  }
  uint8_t* target = MapRange(position_, length);
  if (target == nullptr) return false;
  std::memcpy(target, bytes, static_cast<size_t>(length));
  position_ += length;
  return true;
}

}  // namespace orvo
