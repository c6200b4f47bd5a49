// Creating raster files and reaching their heads.
#include "raster/raster_file.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "base/name_hash.h"
#include "base/os_file.h"
#include "platform/win32.h"
#include "raster/raster_format.h"

namespace orvo {
namespace {

// A view of the first `size` bytes of the named mapping that a raster object
// shares for the file; unmapped and closed when it goes.
class TSharedHeadView {
 public:
  TSharedHeadView(const char* file_name, int32_t size, bool writable) {
    mapping_.Reset(OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, CrcName(file_name).c_str()));
    if (!mapping_) return;
    view_ = static_cast<uint8_t*>(MapViewOfFile(mapping_.Get(),
                                                writable ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0,
                                                static_cast<SIZE_T>(size)));
  }
  ~TSharedHeadView() {
    if (view_ != nullptr) UnmapViewOfFile(view_);
  }
  TSharedHeadView(const TSharedHeadView&) = delete;
  TSharedHeadView& operator=(const TSharedHeadView&) = delete;

  uint8_t* Bytes() const { return view_; }

 private:
  TOsHandle mapping_;
  uint8_t* view_ = nullptr;
};

bool HeadMagicOk(const void* bytes) {
  return std::memcmp(bytes, kRasterMagic, sizeof(kRasterMagic)) == 0;
}

int32_t HeadSizeField(const void* bytes) {
  int64_t v;
  std::memcpy(&v, static_cast<const uint8_t*>(bytes) + kRasterHeadSizeOffset, 8);
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

// Whether a head of `size` bytes may be written over `head`: only up to the
// data offset, and never over a tile table.
bool HeadWriteFits(const RASTERHEAD& head, int32_t size) {
  if (!HasRasterMagic(head) || size > head.data_offset) return false;
  return head.tile_table_offset == 0 || size <= head.tile_table_offset;
}

}  // namespace

bool CreateRasterFile(const char* file_name, int32_t width, int32_t height, int32_t tile_width,
                      int32_t tile_height, int32_t pixel_size, int32_t head_size) {
  if (file_name == nullptr) return false;
  RasterGeometry g;
  if (!ComputeRasterGeometry(width, height, tile_width, tile_height, pixel_size, &g)) return false;
  RASTERHEAD head;
  std::memset(&head, 0, sizeof(head));
  std::memcpy(head.magic, kRasterMagic, sizeof(kRasterMagic));
  head.head_size = kRasterHeadSize;
  head.width = width;
  head.height = height;
  head.tile_width = tile_width;
  head.tile_height = tile_height;
  head.pixel_size = pixel_size;
  head.data_offset = std::max<int64_t>(kRasterHeadSize, head_size);
  if (__builtin_add_overflow(g.tile_count * g.tile_bytes, head.data_offset, &head.file_size))
    return false;

  TOsHandle file = OpenOsFile(file_name, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
  if (!file) return false;
  // The new file reads as zeros beyond the head; most file systems keep it
  // sparse until tiles are written.
  bool ok = OsSeek(file.Get(), head.file_size) && SetEndOfFile(file.Get()) &&
            OsSeek(file.Get(), 0) && OsWriteExact(file.Get(), &head, sizeof(head));
  file.Reset();
  if (!ok) DeleteFileA(file_name);
  return ok;
}

int32_t ReadRasterHeadFile(const char* file_name, void* buffer, int32_t size) {
  if (file_name == nullptr || buffer == nullptr || size < kRasterHeadSize) return 0;
  TOsHandle file = OpenOsFile(file_name, GENERIC_READ, 0, OPEN_EXISTING);
  if (file) {
    if (!OsReadExact(file.Get(), buffer, static_cast<size_t>(size)) || !HeadMagicOk(buffer))
      return 0;
    return HeadSizeField(buffer);
  }
  TSharedHeadView view(file_name, size, /*writable=*/false);
  if (view.Bytes() == nullptr) return 0;
  std::memcpy(buffer, view.Bytes(), static_cast<size_t>(size));
  return HeadMagicOk(buffer) ? HeadSizeField(buffer) : 0;
}

int32_t WriteRasterHeadFile(const char* file_name, const void* buffer, int32_t size) {
  if (file_name == nullptr || buffer == nullptr || size < kRasterHeadSize) return 0;
  const int64_t head_size = size;
  const auto* user = static_cast<const uint8_t*>(buffer) + kRasterUserOffset;
  const size_t user_bytes = static_cast<size_t>(size - kRasterUserOffset);
  TOsHandle file = OpenOsFile(file_name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  if (file) {
    RASTERHEAD head;
    if (!OsReadExact(file.Get(), &head, sizeof(head)) || !HeadWriteFits(head, size)) return 0;
    bool ok = OsSeek(file.Get(), kRasterHeadSizeOffset) &&
              OsWriteExact(file.Get(), &head_size, sizeof(head_size)) &&
              OsSeek(file.Get(), kRasterUserOffset) && OsWriteExact(file.Get(), user, user_bytes);
    return ok ? size : 0;
  }
  TSharedHeadView view(file_name, size, /*writable=*/true);
  if (view.Bytes() == nullptr) return 0;
  RASTERHEAD head;
  std::memcpy(&head, view.Bytes(), sizeof(head));
  if (!HeadWriteFits(head, size)) return 0;
  std::memcpy(view.Bytes() + kRasterHeadSizeOffset, &head_size, sizeof(head_size));
  std::memcpy(view.Bytes() + kRasterUserOffset, user, user_bytes);
  return size;
}

bool IsRasterFile(const char* file_name) {
  RASTERHEAD head;
  return ReadRasterHeadFile(file_name, &head, sizeof(head)) >= kRasterHeadSize;
}

}  // namespace orvo
