// Control points of a raster from its map rectangle.
#include "raster/raster_bound.h"

#include "base/holders.h"
#include "transform/transform_factory.h"

namespace orvo {

bool WriteRasterBoundFile(const char* file_name, int32_t width, int32_t height,
                          const BOUND& bound) {
  TAutoRelease<ICoords> points(NewCoords(nullptr, 4));
  if (!points || file_name == nullptr) return false;
  const double dx = (bound.maxx - bound.minx) / width, dy = (bound.maxy - bound.miny) / height;
  const double w = width, h = height;
  const double corners[4][4] = {
      {bound.minx + dx / 2, bound.maxy - dy / 2, 0, 0},
      {bound.maxx - dx / 2, bound.maxy - dy / 2, w - 1, 0},
      {bound.maxx - dx / 2, bound.miny + dy / 2, w - 1, h - 1},
      {bound.minx + dx / 2, bound.miny + dy / 2, 0, h - 1},
  };
  for (const auto& corner : corners) points->AddPoint(corner);
  return points->Save(file_name);
}

}  // namespace orvo
