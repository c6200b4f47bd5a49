// SR exports: the spatial reader. Every export is guarded; a null handle
// gives the neutral result (Free ignores it).
#include "api/guard.h"
#include "orvoapi.h"
#include "vector/spatial_reader_ex.h"

namespace {
orvo::TSpatialReaderEx* Reader(HSR h) { return reinterpret_cast<orvo::TSpatialReaderEx*>(h); }
}  // namespace

using orvo::Guarded;
using orvo::GuardedVoid;

extern "C" {

ORVO_API HSR ORVO_CDECL CreateSR(const char* file_name) {
  return Guarded<HSR>(
      nullptr, [&] { return reinterpret_cast<HSR>(orvo::TSpatialReaderEx::Open(file_name)); });
}

ORVO_API HSR ORVO_CDECL CreateExSR(const char* file_name, bool binary) {
  return Guarded<HSR>(nullptr, [&] {
    return reinterpret_cast<HSR>(orvo::TSpatialReaderEx::OpenEx(file_name, binary));
  });
}

ORVO_API void ORVO_CDECL FreeSR(HSR reader) {
  GuardedVoid([&] { delete Reader(reader); });
}

ORVO_API void ORVO_CDECL ResetSR(HSR reader) {
  if (reader == nullptr) return;
  GuardedVoid([&] { Reader(reader)->Reset(); });
}

ORVO_API void ORVO_CDECL GetBoundSR(HSR reader, BOUND* bound) {
  if (reader == nullptr) return;
  GuardedVoid([&] { Reader(reader)->GetBound(bound); });
}

ORVO_API bool ORVO_CDECL SetPositionSR(HSR reader, int64_t position) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->SetPosition(position); });
}

ORVO_API bool ORVO_CDECL FindPositionSR(HSR reader, int32_t id) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->FindPosition(id); });
}

ORVO_API bool ORVO_CDECL GetIndexRecordSR(HSR reader, SPATIALINDEXRECORD* record) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->GetIndexRecord(record); });
}

ORVO_API bool ORVO_CDECL NextSR(HSR reader) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->Next(); });
}

ORVO_API int32_t ORVO_CDECL GetIdSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetId(); });
}

ORVO_API int32_t ORVO_CDECL GetLocalSR(HSR reader) {
  if (reader == nullptr) return -1;
  return Guarded<int32_t>(-1, [&] { return Reader(reader)->GetLocal(); });
}

ORVO_API int32_t ORVO_CDECL GetLocal3DSR(HSR reader) {
  if (reader == nullptr) return -1;
  return Guarded<int32_t>(-1, [&] { return Reader(reader)->GetLocal3D(); });
}

ORVO_API int32_t ORVO_CDECL GetVectorCountSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetVectorCount(); });
}

ORVO_API int32_t ORVO_CDECL GetVertexCountSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetVertexCount(); });
}

ORVO_API const int32_t* ORVO_CDECL GetVectorSizeSR(HSR reader) {
  if (reader == nullptr) return nullptr;
  return Guarded<const int32_t*>(nullptr, [&] { return Reader(reader)->GetVectorSize(); });
}

ORVO_API const int32_t* ORVO_CDECL GetVectorPosSR(HSR reader) {
  if (reader == nullptr) return nullptr;
  return Guarded<const int32_t*>(nullptr, [&] { return Reader(reader)->GetVectorPos(); });
}

ORVO_API const double* ORVO_CDECL GetMetricSR(HSR reader) {
  if (reader == nullptr) return nullptr;
  return Guarded<const double*>(nullptr, [&] { return Reader(reader)->GetMetric(); });
}

ORVO_API const double* ORVO_CDECL GetZSR(HSR reader) {
  if (reader == nullptr) return nullptr;
  return Guarded<const double*>(nullptr, [&] { return Reader(reader)->GetZ(); });
}

ORVO_API int64_t ORVO_CDECL GetPositionSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int64_t>(0, [&] { return Reader(reader)->GetPosition(); });
}

ORVO_API int64_t ORVO_CDECL GetSizeSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int64_t>(0, [&] { return Reader(reader)->GetSize(); });
}

ORVO_API int64_t ORVO_CDECL GetSpatialPositionSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int64_t>(0, [&] { return Reader(reader)->GetSpatialPosition(); });
}

ORVO_API int64_t ORVO_CDECL GetAttributePositionSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int64_t>(0, [&] { return Reader(reader)->GetAttributePosition(); });
}

ORVO_API bool ORVO_CDECL IsNetworkSR(HSR reader) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->IsNetwork(); });
}

ORVO_API bool ORVO_CDECL NextNodeSR(HSR reader) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->NextNode(); });
}

ORVO_API bool ORVO_CDECL NextEdgeSR(HSR reader) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->NextEdge(); });
}

ORVO_API int32_t ORVO_CDECL GetLeftFaceSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetLeftFace(); });
}

ORVO_API int32_t ORVO_CDECL GetRightFaceSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetRightFace(); });
}

ORVO_API int32_t ORVO_CDECL GetLeftEdgeSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetLeftEdge(); });
}

ORVO_API int32_t ORVO_CDECL GetRightEdgeSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetRightEdge(); });
}

ORVO_API int32_t ORVO_CDECL GetStartPointSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetStartPoint(); });
}

ORVO_API int32_t ORVO_CDECL GetEndPointSR(HSR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetEndPoint(); });
}

}  // extern "C"
