// Making coordinate arrays and transforms.
#include "transform/transform_factory.h"

#include <new>

#include "base/holders.h"
#include "transform/affine.h"
#include "transform/coords.h"
#include "transform/orto.h"

namespace orvo {
namespace {

// The fresh transform fitted to the points, or null (the transform released)
// when the fit fails.
ITransform* Fitted(ITransform* transform, const double* target, const double* source,
                   int32_t count) {
  if (transform->Compute(target, source, count)) return transform;
  transform->Release();
  return nullptr;
}

}  // namespace

ITransform* NewAffineTransform(const double* target, const double* source, int32_t count) {
  return new itrans::TTransform(target, source, count);
}

ITransform* NewOrtoTransform(const double* target, const double* source, int32_t count) {
  return new itranso::TTransform(target, source, count);
}

ITransform* ControlPointTransform(ICoords* coords, bool geo, bool orthogonal) {
  if (coords == nullptr || coords->GetDimension() < 4) return nullptr;
  int32_t count = coords->GetCount();
  if (count < kMinControlPoints) return nullptr;
  if (count > kMaxControlPoints) count = kMaxControlPoints;
  double target[2 * kMaxControlPoints];
  double source[2 * kMaxControlPoints];
  for (int32_t i = 0; i < count; ++i) {
    const double* point = coords->GetPoint(i);
    if (point == nullptr) return nullptr;
    target[2 * i] = point[geo ? 1 : 0];
    target[2 * i + 1] = point[geo ? 0 : 1];
    source[2 * i] = point[2];
    source[2 * i + 1] = point[3];
  }
  if (orthogonal) return Fitted(new itranso::TTransform(1, 0, 0, 0), target, source, count);
  return Fitted(new itrans::TTransform(1, 0, 0, 0, 1, 0), target, source, count);
}

ITransform* LoadControlPointTransform(const char* path, bool geo, bool orthogonal) {
  TAutoRelease<ICoords> coords(NewCoords(path, 4));
  if (!coords) return nullptr;
  return ControlPointTransform(coords.Get(), geo, orthogonal);
}

ICoords* NewCoords(const char* path_or_null, int32_t dimension) {
  if (dimension < 1) return nullptr;
  TCoords* coords = new TCoords(dimension);
  if (path_or_null != nullptr && !coords->Load(path_or_null)) {
    coords->Release();
    return nullptr;
  }
  return coords;
}

}  // namespace orvo
