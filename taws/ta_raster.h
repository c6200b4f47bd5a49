// TTaRaster: a terrain tile set seen as one raster of 2-byte heights. Each
// tile file is one raster tile of N x N samples (the file's last row and
// column belong to its neighbours); the raster caches one tile at a time in
// a buffer and writes a changed tile back before it fetches another one, on
// SaveTile, and when it is destroyed.
#ifndef TAWS_TA_RASTER_H_
#define TAWS_TA_RASTER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/api_object.h"
#include "orvoapi.h"
#include "taws/taws_set.h"

namespace orvo {

class TTaRaster : public TApiObject<ITaRaster> {
 public:
  // Throws "can't load tawslist" and the first tile's errors. A read-only
  // set opens every tile read-only and never changes a file.
  TTaRaster(const char* list_name, bool read_only);
  // Writes a changed cached tile back (read-write sets).
  ~TTaRaster() override;

  int32_t ORVO_STDCALL GetWidth() override { return static_cast<int32_t>(set_.width); }
  int32_t ORVO_STDCALL GetHeight() override { return static_cast<int32_t>(set_.height); }
  int32_t ORVO_STDCALL GetTileWidth() override { return set_.intervals; }
  int32_t ORVO_STDCALL GetTileHeight() override { return set_.intervals; }
  int32_t ORVO_STDCALL GetPixelSize() override { return 2; }
  int64_t ORVO_STDCALL GetFileSize() override { return file_size_; }
  bool ORVO_STDCALL GetPixel(int32_t x, int32_t y, void* dst) override;
  bool ORVO_STDCALL SetPixel(int32_t x, int32_t y, const void* src) override;
  bool ORVO_STDCALL GetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h, void* dst) override;
  bool ORVO_STDCALL SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                  const void* src) override;
  void* ORVO_STDCALL GetTile(int32_t tx, int32_t ty) override;
  IRaster* ORVO_STDCALL Clone(bool read_only) override;
  void ORVO_STDCALL Reserved() override {}
  bool ORVO_STDCALL GetBound(BOUND* bound) override;
  bool ORVO_STDCALL SaveTile() override;

  const TawsSet& Set() const { return set_; }

 private:
  // The cached tile's samples, fetching (tx, ty) first; null outside the
  // grid, for a cell without tile and for a tile file that does not open or
  // whose grid is not the set's.
  int16_t* Fetch(int64_t tx, int64_t ty);
  // The entry index of tile (tx, ty); -1 outside the grid and for holes.
  int32_t EntryOf(int64_t tx, int64_t ty) const;
  // Copies the entry's N x N raster samples to dst (any alignment), rows
  // dst_stride samples apart; false when its file does not open or its grid is not the set's.
  bool ReadTile(int32_t entry, uint8_t* dst, int64_t dst_stride);
  template <bool kWrite>
  bool CopyBlock(int32_t x, int32_t y, int32_t w, int32_t h, uint8_t* buffer);

  std::string path_;
  int64_t file_size_ = 0;
  int64_t cached_ = -1;  // ty * tiles across + tx
  bool read_only_ = true;
  bool changed_ = false;
  std::vector<int16_t> tile_;
  TawsSet set_;
};

}  // namespace orvo

#endif  // TAWS_TA_RASTER_H_
