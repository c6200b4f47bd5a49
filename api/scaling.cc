// Scaling and drawing exports. Guarded: whatever the raster, the transform
// or the GDI raises ends as false or null here, since no exception may leave
// the library.
#include "display/scaling.h"

#include "api/guard.h"
#include "orvoapi.h"

extern "C" {

ORVO_API bool ORVO_CDECL RasterDownScale(void* dst, int32_t w, int32_t h, IRaster* raster,
                                         int32_t x, int32_t y, int32_t scale) {
  return orvo::Guarded<bool>(false,
                             [&] { return mt::RasterDownScale(dst, w, h, raster, x, y, scale); });
}

ORVO_API bool ORVO_CDECL RasterUpScale(void* dst, int32_t w, int32_t h, IRaster* raster, int32_t x,
                                       int32_t y, int32_t scale) {
  return orvo::Guarded<bool>(false,
                             [&] { return mt::RasterUpScale(dst, w, h, raster, x, y, scale); });
}

ORVO_API bool ORVO_CDECL Raster2Dc(HDC dc, int32_t dc_x, int32_t dc_y, int32_t w, int32_t h,
                                   IRaster* raster, int32_t x, int32_t y, int32_t scale,
                                   IPalette* palette, uint32_t rop) {
  return orvo::Guarded<bool>(false, [&] {
    return mt::Raster2Dc(dc, dc_x, dc_y, w, h, raster, x, y, scale, palette, rop);
  });
}

ORVO_API bool ORVO_CDECL VisibleRect2(int32_t raster_width, int32_t raster_height, int32_t x,
                                      int32_t y, int32_t scale, int32_t w, int32_t h, int32_t* vx,
                                      int32_t* vy, int32_t* vw, int32_t* vh) {
  return mt::VisibleRect2(raster_width, raster_height, x, y, scale, w, h, vx, vy, vw, vh);
}

ORVO_API bool ORVO_CDECL VisibleRect(IRaster* raster, int32_t x, int32_t y, int32_t scale,
                                     int32_t w, int32_t h, int32_t* vx, int32_t* vy, int32_t* vw,
                                     int32_t* vh) {
  return orvo::Guarded<bool>(
      false, [&] { return mt::VisibleRect(raster, x, y, scale, w, h, vx, vy, vw, vh); });
}

ORVO_API bool ORVO_CDECL RasterWindow2Map(double* point, int32_t window_x, int32_t window_y,
                                          int32_t x, int32_t y, int32_t scale,
                                          ITransform* transform) {
  return orvo::Guarded<bool>(false, [&] {
    return mt::RasterWindow2Map(point, window_x, window_y, x, y, scale, transform);
  });
}

ORVO_API ITransform* ORVO_CDECL CreateMap2RasterWindowAffineTransform(ITransform* transform,
                                                                      int32_t x, int32_t y,
                                                                      int32_t scale) {
  return orvo::Guarded<ITransform*>(
      nullptr, [&] { return mt::CreateMap2RasterWindowAffineTransform(transform, x, y, scale); });
}

}  // extern "C"
