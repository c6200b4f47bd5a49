// Reading raster windows at integer zoom steps, the part of a window a raster
// covers, drawing windows into device contexts and window-to-map positions.
//
// A window is w x h output pixels whose top-left pixel shows raster pixel
// (x, y). scale below -1 reduces (one output pixel per -scale raster pixels
// each way), -1..1 is one to one, above 1 enlarges (scale x scale output
// pixels per raster pixel). Buffers are row-major, w pixels a row, the
// raster's pixel size a pixel.
#ifndef DISPLAY_SCALING_H_
#define DISPLAY_SCALING_H_

#include <cstdint>

#include "orvoapi.h"
#include "platform/win32.h"

namespace mt {

inline constexpr char kDownScaleFailed[] = "rasterUpScale. Error while execution";

// The covered part in window pixels (columns vx..vx + vw - 1, rows
// vy..vy + vh - 1) of a raster of W x H pixels; false, outputs untouched, when
// the window lies wholly beside it. Scales 0 and 1 count as -1.
bool VisibleRect2(int32_t W, int32_t H, int32_t x, int32_t y, int32_t scale, int32_t w, int32_t h,
                  int32_t* vx, int32_t* vy, int32_t* vw, int32_t* vh);
// The same for a raster; false for a null one.
bool VisibleRect(IRaster* raster, int32_t x, int32_t y, int32_t scale, int32_t w, int32_t h,
                 int32_t* vx, int32_t* vy, int32_t* vw, int32_t* vh);

// Samples every |scale|-th pixel straight from the tiles; output pixels off
// the raster or on absent tiles keep what the buffer held. False for null
// pointers, w or h below 1 or scale 0; any failure inside raises
// kDownScaleFailed.
bool RasterDownScale(void* dst, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
                     int32_t scale);
// Enlarges by pixel repetition (|scale| times each way), writing only the
// output pixels the raster covers. False for null pointers, w or h below 1,
// scale 0, a source block that cannot be had or read.
bool RasterUpScale(void* dst, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
                   int32_t scale);

// Fills a window buffer with the background: 9999 for 2-byte pixels, zero
// bytes otherwise.
void FillBackground(void* buffer, int64_t pixels, int32_t pixel_size);
// Reads the window at the scale into buffer (FillBackground first).
bool ReadWindow(void* buffer, int32_t w, int32_t h, IRaster* raster, int32_t x, int32_t y,
                int32_t scale);
// Turns count pixels of pixel_size bytes into DIB pixels (blue, green, red):
// through the palette when there is one, else 1-byte values as grey, 2-byte
// values as the grey of their low byte, 3-byte pixels reversed. False for
// other pixel sizes without a palette.
bool PixelsToDib(uint8_t* dst, const uint8_t* src, int32_t pixel_size, int32_t count,
                 IPalette* palette);

// Draws the window into dc at (dc_x, dc_y) with the raster operation; only
// the covered part is copied. False for a null raster, a pixel size above 3
// without a palette, w or h below 1, a window origin at or past the raster's
// right or bottom edge, a buffer that cannot be had or a failed read.
// Raises what the raster or the DIB section raises.
bool Raster2Dc(HDC dc, int32_t dc_x, int32_t dc_y, int32_t w, int32_t h, IRaster* raster, int32_t x,
               int32_t y, int32_t scale, IPalette* palette, uint32_t rop);

// point (two doubles) becomes the map position of window pixel (wx, wy)
// through the raster's pixel-to-map transform; false for null pointers or
// scale 0.
bool RasterWindow2Map(double* point, int32_t wx, int32_t wy, int32_t x, int32_t y, int32_t scale,
                      ITransform* transform);
// The affine transform from map positions to window pixels; null for scale
// 0 or a null transform. Raises when the fit fails.
ITransform* CreateMap2RasterWindowAffineTransform(ITransform* transform, int32_t x, int32_t y,
                                                  int32_t scale);

}  // namespace mt

#endif  // DISPLAY_SCALING_H_
