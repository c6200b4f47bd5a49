// Affine and orthogonal transform exports. All guarded: null on any failure
// (degenerate control points, a missing or malformed file, too few points).
#include "api/guard.h"
#include "orvoapi.h"
#include "transform/transform_factory.h"

extern "C" {

ORVO_API ITransform* ORVO_CDECL CreateAffineTransform(const double* target, const double* source,
                                                      int32_t count) {
  return orvo::Guarded<ITransform*>(
      nullptr, [&] { return orvo::NewAffineTransform(target, source, count); });
}

ORVO_API ITransform* ORVO_CDECL CreateAffineTransformFromCooords(ICoords* coords) {
  return orvo::Guarded<ITransform*>(
      nullptr, [&] { return orvo::ControlPointTransform(coords, false, false); });
}

ORVO_API ITransform* ORVO_CDECL LoadAffineTransform(const char* file_name) {
  return orvo::Guarded<ITransform*>(
      nullptr, [&] { return orvo::LoadControlPointTransform(file_name, false, false); });
}

ORVO_API ITransform* ORVO_CDECL LoadAffineTransformGeo(const char* file_name) {
  return orvo::Guarded<ITransform*>(
      nullptr, [&] { return orvo::LoadControlPointTransform(file_name, true, false); });
}

ORVO_API ITransform* ORVO_CDECL CreateOrtoTransform(const double* target, const double* source,
                                                    int32_t count) {
  return orvo::Guarded<ITransform*>(nullptr,
                                    [&] { return orvo::NewOrtoTransform(target, source, count); });
}

ORVO_API ITransform* ORVO_CDECL LoadOrtoTransform(const char* file_name) {
  return orvo::Guarded<ITransform*>(
      nullptr, [&] { return orvo::LoadControlPointTransform(file_name, false, true); });
}

}  // extern "C"
