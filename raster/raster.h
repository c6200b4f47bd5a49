// TRaster: IRaster over a raster file. The first opener holds the file
// exclusively and shares it under a named mapping (CrcName of the path);
// later openers, clones and other processes map that same section, so every
// write through one of them is seen by all. Pixels are reached through one
// sliding view whose size the cache size bounds.
#ifndef RASTER_RASTER_H_
#define RASTER_RASTER_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/api_object.h"
#include "base/os_file.h"
#include "orvoapi.h"
#include "raster/raster_format.h"

namespace orvo {

extern const char kBadRasterFileFormat[];   // "bad raster file format"
extern const char kCantCreateRasterView[];  // "can not create file view for raster"
extern const char kCantOpenRasterFile[];    // "can't open raster file"

// Whether views cover the whole file at once. In a 64-bit process address
// space is no constraint, and one view that never slides saves remapping and
// refaulting pages on every jump across the file; the 32-bit library bounds
// its views by the cache size.
constexpr bool kWholeFileViews = sizeof(void*) >= 8;

class TRaster final : public TApiObject<IRaster> {
 public:
  // Throws one of the messages above; every handle opened so far is closed.
  TRaster(const char* file_name, int32_t cache_mb, bool read_only,
          bool whole_file_view = kWholeFileViews);
  ~TRaster() override;

  int32_t ORVO_STDCALL GetWidth() override { return Low32(head_.width); }
  int32_t ORVO_STDCALL GetHeight() override { return Low32(head_.height); }
  int32_t ORVO_STDCALL GetTileWidth() override { return Low32(head_.tile_width); }
  int32_t ORVO_STDCALL GetTileHeight() override { return Low32(head_.tile_height); }
  int32_t ORVO_STDCALL GetPixelSize() override { return Low32(head_.pixel_size); }
  int64_t ORVO_STDCALL GetFileSize() override { return head_.file_size; }
  bool ORVO_STDCALL GetPixel(int32_t x, int32_t y, void* dst) override;
  bool ORVO_STDCALL SetPixel(int32_t x, int32_t y, const void* src) override;
  bool ORVO_STDCALL GetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h, void* dst) override;
  bool ORVO_STDCALL SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                  const void* src) override;
  void* ORVO_STDCALL GetTile(int32_t tx, int32_t ty) override;
  IRaster* ORVO_STDCALL Clone(bool read_only) override;

  // The 2 x 2 block of 2-byte pixels whose top-left pixel is (x, y), as
  // GetPixelBlock(x, y, 2, 2) reads it, when the block lies inside one tile;
  // false (out untouched) otherwise, and the caller takes GetPixelBlock. The
  // path is short so that the processor overlaps one DEM query's wait for
  // memory with the work of the next.
  bool Block2x2(int32_t x, int32_t y, int16_t out[4]);

  // GetPixelBlock that also gives every pixel it does not deliver (outside
  // the raster, or in an absent tile) the pixel_size bytes at fill: one pass
  // over dst where a fill and then a read would make two.
  bool GetPixelBlockFilled(int32_t x, int32_t y, int32_t w, int32_t h, void* dst, const void* fill);

  const RASTERHEAD& Head() const { return head_; }

 private:
  static int32_t Low32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

  // real_size: the file's size when this object holds it, else -1.
  void ReadHeadAndTable(int64_t real_size);
  // A pointer to bytes [offset, offset + size) of the file, sliding the view
  // when it does not cover them; null beyond the mapping limit or when the
  // view cannot be mapped.
  uint8_t* MapRange(int64_t offset, int64_t size);
  void UnmapView();
  // The tile's stored place; false for absent tiles and indexes outside the grid.
  bool StoredTile(int64_t tx, int64_t ty, RASTERTILE* tile) const;
  uint8_t* Tile(int64_t tx, int64_t ty);
  // The raw tile in the view, for writing; null for compressed or absent tiles.
  uint8_t* WritableTile(int64_t tx, int64_t ty);
  // Stored tiles of the variable layout whose size is not a whole raw tile.
  bool IsCompressed(const RASTERTILE& tile) const;
  // Reads (or writes) the block; reads with a fill give the pixels they do
  // not deliver that value.
  template <bool kWrite>
  bool CopyBlock(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t* buffer,
                 const uint8_t* fill = nullptr);

  TOsHandle file_;     // the exclusive handle, or empty when reached through the mapping
  TOsHandle mapping_;  // the section shared under mapping_name_
  std::string path_;
  std::string mapping_name_;
  bool read_only_ = true;
  bool whole_file_view_ = false;
  int64_t tile_bytes_ = 0;
  int64_t tiles_across_ = 0;
  int64_t tiles_down_ = 0;
  int tile_shift_x_ = -1;  // log2 of the tile width when that is a power of two
  int tile_shift_y_ = -1;
  uint8_t* view_ = nullptr;
  int64_t view_offset_ = 0;
  int64_t view_size_ = 0;
  int64_t window_size_ = 0;
  int64_t granularity_ = 0;
  bool view_written_ = false;
  std::vector<uint8_t> tile_buffer_;  // decoded run-length tiles
  int64_t mapping_limit_ = kRasterHeadSize;
  RASTERHEAD head_{};
  // The variable layout's table; the fixed layout computes entries instead.
  std::vector<RASTERTILE> tile_table_;
};

inline bool TRaster::Block2x2(int32_t x, int32_t y, int16_t out[4]) {
  if (head_.pixel_size != 2 || x < 0 || y < 0 || int64_t{x} + 2 > head_.width ||
      int64_t{y} + 2 > head_.height)
    return false;
  const int64_t TW = head_.tile_width, TH = head_.tile_height;
  int64_t tx, ty, c, r;
  if (tile_shift_x_ >= 0 && tile_shift_y_ >= 0) {
    tx = x >> tile_shift_x_;
    ty = y >> tile_shift_y_;
    c = x & (TW - 1);
    r = y & (TH - 1);
  } else {
    tx = x / TW;
    ty = y / TH;
    c = x % TW;
    r = y % TH;
  }
  if (c + 2 > TW || r + 2 > TH) return false;
  // A raw tile inside the view is read in place; anything else (a tile
  // outside the view, a run-length tile, an absent one) goes through Tile.
  const int64_t index = ty * tiles_across_ + tx;
  int64_t offset = -1;
  if (tile_table_.empty()) {
    offset = head_.data_offset + index * tile_bytes_;
  } else {
    const RASTERTILE& stored = tile_table_[static_cast<size_t>(index)];
    if (stored.offset > 0 && static_cast<int64_t>(stored.size) == tile_bytes_)
      offset = stored.offset;
  }
  const uint8_t* tile;
  if (view_ != nullptr && offset >= view_offset_ && tile_bytes_ <= view_size_ &&
      offset - view_offset_ <= view_size_ - tile_bytes_)
    tile = view_ + (offset - view_offset_);
  else
    tile = Tile(tx, ty);
  if (tile == nullptr) return false;
  const uint8_t* at = tile + (r * TW + c) * 2;
  std::memcpy(out, at, 4);
  std::memcpy(out + 2, at + TW * 2, 4);
  return true;
}

}  // namespace orvo

#endif  // RASTER_RASTER_H_
