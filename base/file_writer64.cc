// Writer of a new file through growing read-write mappings.
#include "base/file_writer64.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/errors.h"
#include "base/file_reader64.h"
#include "platform/win32.h"

namespace orvo {
namespace {

DWORD High(int64_t v) { return static_cast<DWORD>(static_cast<uint64_t>(v) >> 32); }
DWORD Low(int64_t v) { return static_cast<DWORD>(static_cast<uint64_t>(v) & 0xFFFFFFFFu); }

}  // namespace

TFileWriter64::TFileWriter64(const char* file_name, uint32_t window_request)
    : window_(WindowFor(window_request)) {
  DeleteFileA(file_name);
  HANDLE file = CreateFileA(file_name, GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, /*security=*/nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, /*template_file=*/nullptr);
  if (file == INVALID_HANDLE_VALUE) Raise(kCantOpenFile);
  file_ = file;
}

TFileWriter64::~TFileWriter64() {
  Unmap();
  if (mapping_ != nullptr) CloseHandle(mapping_);
  // The mapping grew the file in whole windows; cut it to what was written.
  LONG high = static_cast<LONG>(High(logical_size_));
  SetFilePointer(file_, static_cast<LONG>(Low(logical_size_)), &high, FILE_BEGIN);
  SetEndOfFile(file_);
  CloseHandle(file_);
}

void TFileWriter64::Unmap() {
  if (view_ != nullptr) {
    FlushViewOfFile(view_, 0);
    UnmapViewOfFile(view_);
  }
  view_ = nullptr;
  view_start_ = 0;
  view_length_ = 0;
}

bool TFileWriter64::EnsureWindow(int64_t position, int64_t length) {
  if (position < 0 || length < 0 || position > INT64_MAX - length - window_) return false;
  int64_t end = position + length;
  if (view_ != nullptr && position >= view_start_ && end <= view_start_ + view_length_) {
    if (end > logical_size_) logical_size_ = end;
    return true;
  }
  Unmap();
  if (end > mapping_size_) {
    if (mapping_ != nullptr) CloseHandle(mapping_);
    mapping_ = nullptr;
    mapping_size_ = 0;
    int64_t wanted = (std::max(logical_size_, end) / window_ + 1) * window_;
    // Creating a larger mapping grows the file on disk.
    HANDLE mapping = CreateFileMappingA(file_, /*security=*/nullptr, PAGE_READWRITE,
                                        High(wanted), Low(wanted), /*name=*/nullptr);
    if (mapping == nullptr) return false;
    mapping_ = mapping;
    mapping_size_ = wanted;
  }
  int64_t start = position / window_ * window_;
  int64_t span = ((end - start) / window_ + 1) * window_;
  if (span > mapping_size_ - start) span = mapping_size_ - start;
  if (static_cast<uint64_t>(span) > SIZE_MAX) return false;
  void* view = MapViewOfFile(mapping_, FILE_MAP_WRITE, High(start), Low(start),
                             static_cast<SIZE_T>(span));
  if (view == nullptr) return false;
  view_ = static_cast<uint8_t*>(view);
  view_start_ = start;
  view_length_ = span;
  // Only bytes that could be written count towards the file's final size.
  if (end > logical_size_) logical_size_ = end;
  return true;
}

uint8_t* TFileWriter64::MapRange(int64_t position, int64_t length) {
  if (!EnsureWindow(position, length)) return nullptr;
  return view_ + (position - view_start_);
}

bool TFileWriter64::Write(const void* bytes, int64_t length) {
  if (bytes == nullptr || length < 0) return false;
  if (length == 0) return true;
  uint8_t* target = MapRange(position_, length);
  if (target == nullptr) return false;
  std::memcpy(target, bytes, static_cast<size_t>(length));
  position_ += length;
  return true;
}

}  // namespace orvo
