// TRasterView: a raster and its previews (reduced copies named like it with
// other extensions) shown at integer zoom steps through a DIB section.
#ifndef DISPLAY_RASTER_VIEW_H_
#define DISPLAY_RASTER_VIEW_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "base/api_object.h"
#include "base/holders.h"
#include "display/dib_section.h"
#include "orvoapi.h"

namespace mt {

inline constexpr char kViewEntranceFailed[] =
    "RView. Error while entrance control and memory allocation";
inline constexpr char kViewReadFailed[] = "RView. Error while raster->GetPixelBlock";
inline constexpr char kViewDibFailed[] = "RView. Error while DIBSection resizing";

class TRasterView : public orvo::TApiObject<IRasterView> {
 public:
  // Opens the widest raster file of path's stem (any extension) in path's
  // folder and, as previews, the narrower ones whose width and height are
  // reduced by one whole factor and whose pixel size is the same. Raises
  // "can't open file" when there is none or one does not open.
  explicit TRasterView(const char* path);
  ~TRasterView() override;

  bool ORVO_STDCALL Render(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx,
                           int32_t ry, int32_t scale, IPalette* palette, uint32_t rop) override;
  // False (never raising) for an empty window, an origin outside the chosen
  // raster, a window beside it, exhausted memory or a failed read.
  bool ORVO_STDCALL Prepare(HDC dc, int32_t w, int32_t h, int32_t rx, int32_t ry,
                            int32_t scale) override;
  void* ORVO_STDCALL GetBuffer() override { return buffer_.data(); }
  int32_t ORVO_STDCALL GetBufferSize() override { return static_cast<int32_t>(size_); }
  int32_t ORVO_STDCALL GetPixelSize() override { return pixel_size_; }
  bool ORVO_STDCALL Draw(HDC dc, int32_t x, int32_t y, IPalette* palette, uint32_t rop) override;
  int32_t ORVO_STDCALL GetWidth() override;
  int32_t ORVO_STDCALL GetHeight() override;

  // Prepare, raising the message of the phase that failed.
  bool PrepareOrRaise(HDC dc, int32_t w, int32_t h, int32_t rx, int32_t ry, int32_t scale);
  // The reduction factor of every level, the main raster's (1) first.
  const std::vector<int32_t>& factors() const { return factors_; }
  // The level Prepare reads for the scale.
  size_t LevelFor(int32_t scale) const;

 private:
  std::vector<IRaster*> rasters_;  // owned: one reference each
  std::vector<int32_t> factors_;
  std::vector<uint8_t> buffer_;  // capacity only grows
  size_t size_ = 0;              // bytes of the last prepared window
  orvo::TPtr<TDibSection> dib_;
  int32_t pixel_size_ = 0;
  int32_t buffer_width_ = 0, buffer_height_ = 0;
  int32_t visible_x_ = 0, visible_y_ = 0, visible_width_ = 0, visible_height_ = 0;
};

// True when path's folder holds more than one raster file of path's stem.
bool RasterPreviewPresent(const char* path);

}  // namespace mt

#endif  // DISPLAY_RASTER_VIEW_H_
