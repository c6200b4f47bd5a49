// TTransformedRaster: a raster with the affine transform between its pixel
// positions (column, row) and map positions (x, y), taken from the tile set's
// georeference or from the control points in path + ".corners".
#ifndef RASTER_TRANSFORMED_RASTER_H_
#define RASTER_TRANSFORMED_RASTER_H_

#include <cstdint>
#include <string>

#include "base/api_object.h"
#include "base/holders.h"
#include "orvoapi.h"
#include "raster/raster.h"
#include "transform/affine.h"

namespace orvo {

extern const char kCantOpenRaster[];  // "can't open raster"

class TTransformedRaster final : public TApiObject<ITransformedRaster> {
 public:
  // Throws "can't open raster" when the raster does not open; a missing or
  // unusable control-point file only leaves the object without transform.
  TTransformedRaster(const char* file_name, bool read_only, bool geo_corners);

  int32_t ORVO_STDCALL GetWidth() override { return raster_->GetWidth(); }
  int32_t ORVO_STDCALL GetHeight() override { return raster_->GetHeight(); }
  int32_t ORVO_STDCALL GetTileWidth() override { return raster_->GetTileWidth(); }
  int32_t ORVO_STDCALL GetTileHeight() override { return raster_->GetTileHeight(); }
  int32_t ORVO_STDCALL GetPixelSize() override { return raster_->GetPixelSize(); }
  int64_t ORVO_STDCALL GetFileSize() override { return raster_->GetFileSize(); }
  bool ORVO_STDCALL GetPixel(int32_t x, int32_t y, void* dst) override {
    return raster_->GetPixel(x, y, dst);
  }
  bool ORVO_STDCALL SetPixel(int32_t x, int32_t y, const void* src) override {
    return raster_->SetPixel(x, y, src);
  }
  bool ORVO_STDCALL GetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h, void* dst) override {
    return raster_->GetPixelBlock(x, y, w, h, dst);
  }
  bool ORVO_STDCALL SetPixelBlock(int32_t x, int32_t y, int32_t w, int32_t h,
                                  const void* src) override {
    return raster_->SetPixelBlock(x, y, w, h, src);
  }
  void* ORVO_STDCALL GetTile(int32_t tx, int32_t ty) override { return raster_->GetTile(tx, ty); }
  ITransformedRaster* ORVO_STDCALL Clone(bool read_only) override;
  bool ORVO_STDCALL PixelToMap(double* dst, const double* src, int32_t count) override;
  bool ORVO_STDCALL MapToPixel(double* dst, const double* src, int32_t count) override;
  bool ORVO_STDCALL HasTransform() override;
  bool ORVO_STDCALL LoadTransform() override;

  // The raster and the transform when they are the library's own plain
  // raster and affine transform, null otherwise: DEM queries call them
  // directly rather than through the interfaces.
  TRaster* OwnRaster() const { return TOwnClass<TRaster, IRaster>::Of(raster_.Get()); }
  itrans::TTransform* OwnAffine() const {
    return TOwnClass<itrans::TTransform, ITransform>::Of(transform_.Get());
  }

 private:
  TAutoRelease<IRaster> raster_;
  TAutoRelease<ITransform> transform_;
  std::string path_;
  bool geo_corners_ = false;
};

// The four corner pixels' positions, (0,0), (W-1,0), (W-1,H-1), (0,H-1), in
// map and in pixel coordinates (4 points, 8 doubles each; either may be
// null); false without a transform.
bool RasterCorners(ITransformedRaster* raster, double* map_points, double* pixel_points);

// The pixel nearest the map position (halves go up), for Get/SetPixel.
bool MapToNearestPixel(ITransformedRaster* raster, double x, double y, int32_t* column,
                       int32_t* row);

}  // namespace orvo

#endif  // RASTER_TRANSFORMED_RASTER_H_
