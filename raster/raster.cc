// The raster object: exclusive file, shared named mapping, one sliding view.
#include "raster/raster.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "base/errors.h"
#include "base/name_hash.h"
#include "platform/win32.h"
#include "raster/rle.h"

namespace orvo {

const char kBadRasterFileFormat[] = "bad raster file format";
const char kCantCreateRasterView[] = "can not create file view for raster";
const char kCantOpenRasterFile[] = "can't open raster file";

namespace {

constexpr int64_t kMaxCacheMb = 300;
constexpr int64_t kMegabyte = 1 << 20;

// v rounded up to a multiple of step; the largest multiple when that
// overflows (a head may claim any size).
int64_t RoundUp(int64_t v, int64_t step) {
  if (v > INT64_MAX - (step - 1)) return INT64_MAX / step * step;
  return (v + step - 1) / step * step;
}

// Gives pixels [col, col + cols) of rows [row, row + rows) of a block w
// pixels wide the pixel_size bytes at fill.
void FillRect(uint8_t* block, int64_t w, int64_t col, int64_t row, int64_t cols, int64_t rows,
              const uint8_t* fill, int64_t pixel_size) {
  if (cols < 1 || rows < 1) return;
  for (int64_t r = row; r < row + rows; ++r) {
    uint8_t* p = block + (r * w + col) * pixel_size;
    if (pixel_size == 2) {
      uint16_t value;
      std::memcpy(&value, fill, 2);
      // A block at an odd address takes the byte-wise loop below.
      if ((reinterpret_cast<uintptr_t>(p) & 1) == 0) {
        std::fill_n(reinterpret_cast<uint16_t*>(p), cols, value);
        continue;
      }
    }
    if (pixel_size == 1) {
      std::memset(p, *fill, static_cast<size_t>(cols));
      continue;
    }
    for (int64_t i = 0; i < cols; ++i, p += pixel_size)
      std::memcpy(p, fill, static_cast<size_t>(pixel_size));
  }
}

// log2 of v when v is a power of two below 2^31, else -1.
int PowerOfTwoShift(int64_t v) {
  if (v < 1 || v > (int64_t{1} << 30) || (v & (v - 1)) != 0) return -1;
  return __builtin_ctzll(static_cast<uint64_t>(v));
}

// memcpy with the short rows of small blocks (one to four pixels) copied
// inline rather than through the library call.
inline void CopyBytes(uint8_t* dst, const uint8_t* src, size_t n) {
  switch (n) {
    case 1:
      *dst = *src;
      return;
    case 2:
      std::memcpy(dst, src, 2);
      return;
    case 4:
      std::memcpy(dst, src, 4);
      return;
    case 8:
      std::memcpy(dst, src, 8);
      return;
    default:
      std::memcpy(dst, src, n);
  }
}

}  // namespace

TRaster::TRaster(const char* file_name, int32_t cache_mb, bool read_only, bool whole_file_view)
    : path_(file_name != nullptr ? file_name : ""),
      mapping_name_(CrcName(path_)),
      read_only_(read_only),
      whole_file_view_(whole_file_view) {
  TOwnClass<TRaster, IRaster>::Note(this);
  if (file_name == nullptr) Raise(kCantOpenRasterFile);
  // Read-write even for a read-only raster, so that later read-write openers
  // can share the mapping this one creates.
  bool file_writable = true;
  file_ = OpenOsFile(file_name, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
  if (!file_)
    mapping_.Reset(OpenFileMappingA(read_only ? FILE_MAP_READ : FILE_MAP_ALL_ACCESS, FALSE,
                                    mapping_name_.c_str()));
  // A file we may only read (read-only storage) still opens read-only; its
  // section is read-only then, and read-write openers of it are refused.
  if (!file_ && !mapping_ && read_only) {
    file_ = OpenOsFile(file_name, GENERIC_READ, 0, OPEN_EXISTING);
    file_writable = false;
  }
  int64_t real_size = -1;
  if (file_) {
    RASTERHEAD head;
    if (!OsReadExact(file_.Get(), &head, sizeof(head)) || !HasRasterMagic(head) ||
        !OsFileSize(file_.Get(), &real_size))
      Raise(kBadRasterFileFormat);
    // A section of this name that exists already belongs to a clone that
    // outlived the first opener: sharing it is the point.
    mapping_.Reset(CreateFileMappingA(file_.Get(), /*security=*/nullptr,
                                      file_writable ? PAGE_READWRITE : PAGE_READONLY, 0, 0,
                                      mapping_name_.c_str()));
  }
  if (!mapping_) Raise(kCantCreateRasterView);

  granularity_ = AllocationGranularity();
  const int64_t mb = std::clamp<int64_t>(cache_mb, 0, kMaxCacheMb);
  window_size_ = RoundUp(mb * kMegabyte, granularity_);
  try {
    ReadHeadAndTable(real_size);
  } catch (...) {
    UnmapView();
    throw;
  }
}

TRaster::~TRaster() { UnmapView(); }

void TRaster::ReadHeadAndTable(int64_t real_size) {
  mapping_limit_ = kRasterHeadSize;
  const uint8_t* bytes = MapRange(0, kRasterHeadSize);
  if (bytes == nullptr) Raise(kCantOpenRasterFile);
  std::memcpy(&head_, bytes, sizeof(head_));
  RasterGeometry g;
  if (!HasRasterMagic(head_) || head_.file_size < kRasterHeadSize ||
      head_.head_size < kRasterHeadSize ||
      !ComputeRasterGeometry(head_.width, head_.height, head_.tile_width, head_.tile_height,
                             head_.pixel_size, &g))
    Raise(kCantOpenRasterFile);
  tiles_across_ = g.tiles_across;
  tiles_down_ = g.tiles_down;
  tile_bytes_ = g.tile_bytes;
  tile_shift_x_ = PowerOfTwoShift(head_.tile_width);
  tile_shift_y_ = PowerOfTwoShift(head_.tile_height);
  // A head that claims more bytes than the file has must not let a view
  // reach past the file's end.
  mapping_limit_ = real_size >= 0 ? std::min(head_.file_size, real_size) : head_.file_size;
  if (whole_file_view_)
    window_size_ = std::max(window_size_, RoundUp(mapping_limit_, granularity_));

  const bool fixed = head_.tile_table_offset == 0 && head_.data_offset != 0;
  const bool variable = head_.tile_table_offset != 0 && head_.data_offset == 0;
  if (fixed) {
    int64_t end;
    if (head_.data_offset < kRasterHeadSize ||
        __builtin_add_overflow(head_.data_offset, g.tile_count * g.tile_bytes, &end))
      Raise(kCantOpenRasterFile);
  } else if (variable) {
    const int64_t table_bytes = g.tile_count * static_cast<int64_t>(sizeof(RASTERTILE));
    if (head_.tile_table_offset < kRasterHeadSize || g.tile_count > INT64_MAX / 12 ||
        table_bytes > mapping_limit_ - head_.tile_table_offset)
      Raise(kCantOpenRasterFile);
    const uint8_t* table = MapRange(head_.tile_table_offset, table_bytes);
    if (table == nullptr) Raise(kCantOpenRasterFile);
    tile_table_.resize(static_cast<size_t>(g.tile_count));
    std::memcpy(tile_table_.data(), table, static_cast<size_t>(table_bytes));
  } else {
    Raise(kCantOpenRasterFile);
  }
}

void TRaster::UnmapView() {
  if (view_ == nullptr) return;
  if (view_written_ && !read_only_) FlushViewOfFile(view_, 0);
  UnmapViewOfFile(view_);
  view_ = nullptr;
  view_offset_ = 0;
  view_size_ = 0;
  view_written_ = false;
}

uint8_t* TRaster::MapRange(int64_t offset, int64_t size) {
  if (view_ != nullptr && offset >= view_offset_ && size <= view_size_ &&
      offset - view_offset_ <= view_size_ - size)
    return view_ + (offset - view_offset_);
  UnmapView();
  if (offset < 0 || size < 0 || offset > mapping_limit_ || size > mapping_limit_ - offset)
    return nullptr;
  const int64_t view_offset = offset / granularity_ * granularity_;
  // The window grows to hold the largest request made so far; it never shrinks.
  // offset + size is at most the mapping limit, so nothing here overflows.
  if (size / granularity_ >= INT64_MAX / granularity_) return nullptr;
  if (size > window_size_ - granularity_) window_size_ = (size / granularity_ + 1) * granularity_;
  const int64_t needed = offset + size - view_offset;
  if (window_size_ < needed) window_size_ = RoundUp(needed, granularity_);
  if (window_size_ < needed) return nullptr;
  const int64_t view_size = std::min(window_size_, mapping_limit_ - view_offset);
  if (static_cast<uint64_t>(view_size) > SIZE_MAX) return nullptr;
  void* view =
      MapViewOfFile(mapping_.Get(), read_only_ ? FILE_MAP_READ : FILE_MAP_WRITE,
                    HighPart(view_offset), LowPart(view_offset), static_cast<SIZE_T>(view_size));
  if (view == nullptr) return nullptr;
  view_ = static_cast<uint8_t*>(view);
  view_offset_ = view_offset;
  view_size_ = view_size;
  return view_ + (offset - view_offset_);
}

bool TRaster::StoredTile(int64_t tx, int64_t ty, RASTERTILE* tile) const {
  if (tx < 0 || ty < 0 || tx >= tiles_across_ || ty >= tiles_down_) return false;
  const int64_t index = ty * tiles_across_ + tx;
  if (tile_table_.empty()) {
    tile->offset = head_.data_offset + index * tile_bytes_;
    tile->size = 0;  // every fixed-layout tile is raw, tile_bytes_ long
    return true;
  }
  *tile = tile_table_[static_cast<size_t>(index)];
  return tile->offset > 0 && tile->size != 0;
}

bool TRaster::IsCompressed(const RASTERTILE& tile) const {
  return !tile_table_.empty() && static_cast<int64_t>(tile.size) != tile_bytes_;
}

uint8_t* TRaster::Tile(int64_t tx, int64_t ty) {
  RASTERTILE tile;
  if (!StoredTile(tx, ty, &tile)) return nullptr;
  if (!IsCompressed(tile)) return MapRange(tile.offset, tile_bytes_);
  const uint8_t* stored = MapRange(tile.offset, tile.size);
  if (stored == nullptr || tile.size < 2) return nullptr;
  uint16_t method;
  std::memcpy(&method, stored, sizeof(method));
  if (method != kRleMethod) return nullptr;
  // Checked before the buffer is made: a few stored bytes may claim a tile of
  // any size, beyond memory and, in 32-bit builds, beyond what size_t holds.
  if (tile_bytes_ > RleMostDecoded(tile.size - 2, head_.pixel_size) ||
      static_cast<uint64_t>(tile_bytes_) > SIZE_MAX)
    return nullptr;
  try {
    tile_buffer_.resize(static_cast<size_t>(tile_bytes_));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!RleDecode(tile_buffer_.data(), tile_bytes_, stored + 2, tile.size - 2, head_.pixel_size))
    return nullptr;
  return tile_buffer_.data();
}

uint8_t* TRaster::WritableTile(int64_t tx, int64_t ty) {
  RASTERTILE tile;
  if (read_only_ || !StoredTile(tx, ty, &tile) || IsCompressed(tile)) return nullptr;
  uint8_t* p = MapRange(tile.offset, tile_bytes_);
  if (p != nullptr) view_written_ = true;
  return p;
}

bool ORVO_STDCALL TRaster::GetPixel(int32_t x, int32_t y, void* dst) {
  if (dst == nullptr || x < 0 || y < 0 || x >= head_.width || y >= head_.height) return false;
  const uint8_t* tile = Tile(x / head_.tile_width, y / head_.tile_height);
  if (tile == nullptr) return false;
  const int64_t at =
      ((y % head_.tile_height) * head_.tile_width + x % head_.tile_width) * head_.pixel_size;
  std::memcpy(dst, tile + at, static_cast<size_t>(head_.pixel_size));
  return true;
}

bool ORVO_STDCALL TRaster::SetPixel(int32_t x, int32_t y, const void* src) {
  if (src == nullptr || x < 0 || y < 0 || x >= head_.width || y >= head_.height) return false;
  uint8_t* tile = WritableTile(x / head_.tile_width, y / head_.tile_height);
  if (tile == nullptr) return false;
  const int64_t at =
      ((y % head_.tile_height) * head_.tile_width + x % head_.tile_width) * head_.pixel_size;
  std::memcpy(tile + at, src, static_cast<size_t>(head_.pixel_size));
  return true;
}

template <bool kWrite>
bool TRaster::CopyBlock(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t* buffer,
                        const uint8_t* fill) {
  if (buffer == nullptr || w < 1 || h < 1) return false;
  const int64_t P = head_.pixel_size, TW = head_.tile_width, TH = head_.tile_height;
  // The caller's buffer holds w * h pixels; a size beyond the address space
  // cannot be a real buffer.
  int64_t buffer_bytes;
  if (__builtin_mul_overflow(static_cast<int64_t>(w) * h, P, &buffer_bytes) ||
      static_cast<uint64_t>(buffer_bytes) > PTRDIFF_MAX)
    return false;
  if (!kWrite && x >= 0 && y >= 0 && w <= TW && h <= TH && TW <= UINT32_MAX && TH <= UINT32_MAX) {
    // A small block inside one tile, the common read of DEM queries (2 x 2):
    // 32-bit divisions, one tile lookup, rows copied straight.
    const uint32_t ux = static_cast<uint32_t>(x), uy = static_cast<uint32_t>(y);
    const uint32_t tw = static_cast<uint32_t>(TW), th = static_cast<uint32_t>(TH);
    const int64_t c = ux % tw, r = uy % th;
    if (c + w <= TW && r + h <= TH && int64_t{x} + w <= head_.width &&
        int64_t{y} + h <= head_.height) {
      const uint8_t* tile = Tile(ux / tw, uy / th);
      if (tile == nullptr) {
        if (fill != nullptr) FillRect(buffer, w, 0, 0, w, h, fill, P);
        return false;
      }
      const size_t row_bytes = static_cast<size_t>(w * P);
      const uint8_t* in_tile = tile + (r * TW + c) * P;
      for (int32_t i = 0; i < h; ++i, in_tile += TW * P, buffer += row_bytes)
        CopyBytes(buffer, in_tile, row_bytes);
      return true;
    }
  }
  // Only the part of the block inside the raster takes part.
  const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t{x} + w, head_.width);
  const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t{y} + h, head_.height);
  if (x0 >= x1 || y0 >= y1) {
    if (fill != nullptr) FillRect(buffer, w, 0, 0, w, h, fill, P);
    return false;
  }
  if (!kWrite && fill != nullptr) {
    // The margins outside the raster: rows above and below, then both sides.
    FillRect(buffer, w, 0, 0, w, y0 - y, fill, P);
    FillRect(buffer, w, 0, y1 - y, w, int64_t{y} + h - y1, fill, P);
    FillRect(buffer, w, 0, y0 - y, x0 - x, y1 - y0, fill, P);
    FillRect(buffer, w, x1 - x, y0 - y, int64_t{x} + w - x1, y1 - y0, fill, P);
  }
  const int64_t tx0 = x0 / TW, tx1 = (x1 - 1) / TW, ty0 = y0 / TH, ty1 = (y1 - 1) / TH;
  if (kWrite) {
    // Run-length tiles are not re-encoded: refuse the whole write up front
    // rather than store part of it.
    if (read_only_) return false;
    RASTERTILE tile;
    for (int64_t tx = tx0; tx <= tx1; ++tx)
      for (int64_t ty = ty0; ty <= ty1; ++ty)
        if (StoredTile(tx, ty, &tile) && IsCompressed(tile)) return false;
  }
  bool delivered = false;
  // Tile rows in turn, as the file stores them.
  for (int64_t ty = ty0; ty <= ty1; ++ty) {
    for (int64_t tx = tx0; tx <= tx1; ++tx) {
      uint8_t* tile = kWrite ? WritableTile(tx, ty) : Tile(tx, ty);
      const int64_t c0 = std::max(x0, tx * TW) - tx * TW,
                    c1 = std::min(x1, (tx + 1) * TW) - tx * TW;
      const int64_t r0 = std::max(y0, ty * TH) - ty * TH,
                    r1 = std::min(y1, (ty + 1) * TH) - ty * TH;
      if (tile == nullptr) {
        if (fill != nullptr)
          FillRect(buffer, w, tx * TW + c0 - x, ty * TH + r0 - y, c1 - c0, r1 - r0, fill, P);
        continue;
      }
      delivered = true;
      const size_t row_bytes = static_cast<size_t>((c1 - c0) * P);
      for (int64_t r = r0; r < r1; ++r) {
        uint8_t* in_tile = tile + (r * TW + c0) * P;
        uint8_t* in_buffer = buffer + ((ty * TH + r - y) * w + (tx * TW + c0 - x)) * P;
        if (kWrite)
          CopyBytes(in_tile, in_buffer, row_bytes);
        else
          CopyBytes(in_buffer, in_tile, row_bytes);
      }
    }
  }
  return delivered;
}

bool ORVO_STDCALL TRaster::GetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h, void* dst) {
  return CopyBlock<false>(x, y, w, h, static_cast<uint8_t*>(dst));
}

bool TRaster::GetPixelBlockFilled(int32_t x, int32_t y, int32_t w, int32_t h, void* dst,
                                  const void* fill) {
  if (fill == nullptr) return false;
  return CopyBlock<false>(x, y, w, h, static_cast<uint8_t*>(dst),
                          static_cast<const uint8_t*>(fill));
}

bool ORVO_STDCALL TRaster::SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                         const void* src) {
  // The source is only read: CopyBlock<true> copies from the buffer.
  return CopyBlock<true>(x, y, w, h, static_cast<uint8_t*>(const_cast<void*>(src)));
}

void* ORVO_STDCALL TRaster::GetTile(int32_t tx, int32_t ty) {
  if (!read_only_) {
    // The pointer into the view is writable: what the caller writes there
    // must reach the file when the view goes.
    RASTERTILE tile;
    if (StoredTile(tx, ty, &tile) && !IsCompressed(tile)) return WritableTile(tx, ty);
  }
  return Tile(tx, ty);
}

IRaster* ORVO_STDCALL TRaster::Clone(bool read_only) {
  try {
    return new TRaster(path_.c_str(), static_cast<int32_t>(window_size_ / kMegabyte), read_only,
                       whole_file_view_);
  } catch (...) {
    return nullptr;
  }
}

}  // namespace orvo
