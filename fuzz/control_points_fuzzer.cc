// Control-point files: coordinate arrays, the transforms fitted to them, and
// the ".corners" file beside a raster as OpenTransformedRaster and OpenDem
// read it, with every query of what they give.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace {

volatile double g_sink;

void UseTransform(ITransform* t) {
  if (t == nullptr) return;
  double points[8] = {0, 0, 1, 1, -1e6, 1e6, 1e300, -1e300};
  double out[8];
  t->Transform(out, points, 4);
  t->InverseTransform(out, points, 4);
  g_sink = g_sink + out[0] + t->IsValid();
  if (ITransform* copy = t->Clone()) copy->Release();
  t->Release();
}

struct Raster {
  std::string path;
  Raster() : path(orvofuzz::ScratchFile("dem.raster")) {
    orvofuzz::Require(CreateRaster(path.c_str(), 20, 12, 8, 8, 2, 264), "no sample raster");
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Raster raster;
  static const std::string points = orvofuzz::ScratchFile("points.txt");
  static const std::string corners = raster.path + ".corners";
  orvofuzz::WriteScratch(points, data, size);
  orvofuzz::WriteScratch(corners, data, size);

  for (int32_t dimension : {1, 2, 4}) {
    if (ICoords* coords = CreateCoords(points.c_str(), dimension)) {
      int32_t count = coords->GetCount();
      orvofuzz::Require(coords->GetDimension() == dimension, "a dimension changed");
      for (int32_t i = -1; i <= count && i < 1000; ++i) {
        for (int32_t c = -1; c <= dimension; ++c) g_sink = g_sink + coords->GetValue(i, c);
        if (double* p = coords->GetPoint(i)) g_sink = g_sink + p[dimension - 1];
      }
      if (dimension >= 4) UseTransform(CreateAffineTransformFromCooords(coords));
      coords->Release();
    }
  }
  UseTransform(LoadAffineTransform(points.c_str()));
  UseTransform(LoadAffineTransformGeo(points.c_str()));
  UseTransform(LoadOrtoTransform(points.c_str()));

  // The geographic column order by the input's length: one raster open a run.
  {
    const bool geo = size % 2 == 1;
    ITransformedRaster* r = OpenTransformedRaster(raster.path.c_str(), true, geo);
    orvofuzz::Require(r != nullptr, "a valid raster did not open beside a bad .corners file");
    double map[8], pixel[8], origin[2], at[4] = {0, 0, 19, 11}, out[4];
    BOUND bound;
    int16_t sample;
    g_sink = g_sink + r->HasTransform() + r->PixelToMap(out, at, 2) + r->MapToPixel(out, at, 2);
    if (GetTransformationVectors(map, pixel, r)) {
      for (int i = 0; i < 4; ++i) {
        GetTransformedRasterValue(&sample, r, map[2 * i], map[2 * i + 1]);
      }
    }
    UseTransform(GetRasterTransform(r));
    g_sink = g_sink + GetRasterOrigin(origin, r) + GetRasterBoundary(&bound, r);
    GetTransformedRasterValue(&sample, r, NAN, INFINITY);
    r->LoadTransform();
    r->Release();
  }
  if (ITransformedRaster* dem = OpenDem(raster.path.c_str())) {
    double map[8];
    if (GetTransformationVectors(map, nullptr, dem)) {
      for (int i = 0; i < 4; ++i) {
        g_sink = g_sink + DemHeight(dem, map[2 * i], map[2 * i + 1]) +
                 WrappedDemHeight(dem, map[2 * i], map[2 * i + 1]);
      }
    }
    g_sink = g_sink + DemHeight(dem, NAN, 0) + WrappedDemHeight(dem, 1e300, -1e300);
    CloseDem(dem);
  }
  return 0;
}
