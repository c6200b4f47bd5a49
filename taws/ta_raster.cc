// The tile set raster: one cached tile, written back when changed.
#include "taws/ta_raster.h"

#include <algorithm>
#include <cstring>

#include "taws/taws_tile.h"

namespace orvo {

TTaRaster::TTaRaster(const char* list_name, bool read_only)
    : path_(list_name != nullptr ? list_name : ""), read_only_(read_only) {
  LoadTawsSet(list_name, &set_);
  const int64_t n = set_.intervals;
  file_size_ = set_.list.Count() * n * n * 2 * 11 / 10;
  tile_.resize(static_cast<size_t>(n * n));
}

TTaRaster::~TTaRaster() {
  try {
    SaveTile();
  } catch (...) {
  }
}

int32_t TTaRaster::EntryOf(int64_t tx, int64_t ty) const {
  if (tx < 0 || ty < 0 || tx >= set_.tiles_across || ty >= set_.tiles_down) return -1;
  return set_.Entry(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
}

bool TTaRaster::ReadTile(int32_t entry, uint8_t* dst, int64_t dst_stride) {
  try {
    TTawsMap file(set_.list.FilePath(entry).c_str(), 0, 0, 0, read_only_);
    const int64_t n = set_.intervals;
    if (file.Samples() != n + 1) return false;  // not this set's grid
    const int16_t* grid = file.Grid();
    for (int64_t r = 0; r < n; ++r)
      std::memcpy(dst + r * dst_stride * 2, grid + r * (n + 1), static_cast<size_t>(n) * 2);
  } catch (...) {
    return false;
  }
  return true;
}

int16_t* TTaRaster::Fetch(int64_t tx, int64_t ty) {
  const int32_t entry = EntryOf(tx, ty);
  if (entry < 0) return nullptr;
  const int64_t index = ty * set_.tiles_across + tx;
  if (index == cached_) return tile_.data();
  if (changed_) SaveTile();
  // The buffer holds no tile while it is being filled.
  cached_ = -1;
  if (!ReadTile(entry, reinterpret_cast<uint8_t*>(tile_.data()), set_.intervals)) return nullptr;
  cached_ = index;
  return tile_.data();
}

bool ORVO_STDCALL TTaRaster::SaveTile() {
  if (read_only_ || cached_ < 0) return true;
  changed_ = false;
  const int64_t tx = cached_ % set_.tiles_across, ty = cached_ / set_.tiles_across;
  const int32_t entry = set_.Entry(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
  try {
    TTawsMap file(set_.list.FilePath(entry).c_str(), 0, 0, 0, /*read_only=*/false);
    const int64_t n = set_.intervals;
    int16_t* grid = file.MutableGrid();
    if (grid == nullptr || file.Samples() != n + 1) return false;
    // The shared last row and column stay as they are.
    for (int64_t r = 0; r < n; ++r)
      std::memcpy(grid + r * (n + 1), &tile_[static_cast<size_t>(r * n)],
                  static_cast<size_t>(n) * 2);
  } catch (...) {
    return false;
  }
  return true;
}

bool ORVO_STDCALL TTaRaster::GetPixel(int32_t x, int32_t y, void* dst) {
  if (dst == nullptr || x < 0 || y < 0 || x >= set_.width || y >= set_.height) return false;
  const int64_t n = set_.intervals;
  const int16_t* tile = Fetch(x / n, y / n);
  if (tile == nullptr) return false;
  std::memcpy(dst, tile + (y % n) * n + x % n, 2);
  return true;
}

bool ORVO_STDCALL TTaRaster::SetPixel(int32_t x, int32_t y, const void* src) {
  // A read-only set never writes a tile back: the write would be lost.
  if (read_only_ || src == nullptr || x < 0 || y < 0 || x >= set_.width || y >= set_.height)
    return false;
  const int64_t n = set_.intervals;
  int16_t* tile = Fetch(x / n, y / n);
  if (tile == nullptr) return false;
  std::memcpy(tile + (y % n) * n + x % n, src, 2);
  changed_ = true;
  return true;
}

template <bool kWrite>
bool TTaRaster::CopyBlock(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t* buffer) {
  if (buffer == nullptr || w < 1 || h < 1 || (kWrite && read_only_)) return false;
  const int64_t n = set_.intervals;
  int64_t buffer_bytes;
  if (__builtin_mul_overflow(static_cast<int64_t>(w) * h, int64_t{2}, &buffer_bytes) ||
      static_cast<uint64_t>(buffer_bytes) > PTRDIFF_MAX)
    return false;
  const int64_t x0 = std::max<int64_t>(x, 0), x1 = std::min<int64_t>(int64_t{x} + w, set_.width);
  const int64_t y0 = std::max<int64_t>(y, 0), y1 = std::min<int64_t>(int64_t{y} + h, set_.height);
  if (x0 >= x1 || y0 >= y1) return false;
  bool delivered = false;
  for (int64_t tx = x0 / n; tx <= (x1 - 1) / n; ++tx) {
    for (int64_t ty = y0 / n; ty <= (y1 - 1) / n; ++ty) {
      const int64_t c0 = std::max(x0, tx * n) - tx * n, c1 = std::min(x1, (tx + 1) * n) - tx * n;
      const int64_t r0 = std::max(y0, ty * n) - ty * n, r1 = std::min(y1, (ty + 1) * n) - ty * n;
      // A whole tile that is not cached goes straight from its file to the
      // caller: reading a set tile by tile copies every sample once.
      if (!kWrite && c0 == 0 && r0 == 0 && c1 == n && r1 == n &&
          ty * set_.tiles_across + tx != cached_) {
        const int32_t entry = EntryOf(tx, ty);
        uint8_t* at = buffer + ((ty * n - y) * w + (tx * n - x)) * 2;
        if (entry >= 0 && ReadTile(entry, at, w)) delivered = true;
        continue;
      }
      int16_t* tile = Fetch(tx, ty);
      if (tile == nullptr) continue;
      delivered = true;
      if (kWrite) changed_ = true;
      const size_t row_bytes = static_cast<size_t>((c1 - c0) * 2);
      for (int64_t r = r0; r < r1; ++r) {
        uint8_t* in_tile = reinterpret_cast<uint8_t*>(tile + r * n + c0);
        uint8_t* in_buffer = buffer + ((ty * n + r - y) * w + (tx * n + c0 - x)) * 2;
        if (kWrite)
          std::memcpy(in_tile, in_buffer, row_bytes);
        else
          std::memcpy(in_buffer, in_tile, row_bytes);
      }
    }
  }
  return delivered;
}

bool ORVO_STDCALL TTaRaster::GetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h, void* dst) {
  return CopyBlock<false>(x, y, w, h, static_cast<uint8_t*>(dst));
}

bool ORVO_STDCALL TTaRaster::SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                           const void* src) {
  // The source is only read: CopyBlock<true> copies from the buffer.
  return CopyBlock<true>(x, y, w, h, static_cast<uint8_t*>(const_cast<void*>(src)));
}

void* ORVO_STDCALL TTaRaster::GetTile(int32_t tx, int32_t ty) { return Fetch(tx, ty); }

IRaster* ORVO_STDCALL TTaRaster::Clone(bool read_only) {
  try {
    return new TTaRaster(path_.c_str(), read_only);
  } catch (...) {
    return nullptr;
  }
}

bool ORVO_STDCALL TTaRaster::GetBound(BOUND* bound) {
  if (bound == nullptr) return false;
  *bound = set_.bound;
  return true;
}

}  // namespace orvo
