// SW exports: the spatial writer. Every export that does work is guarded; a
// null handle gives -1 from the record exports (Free ignores it).
#include "api/guard.h"
#include "orvoapi.h"
#include "vector/spatial_writer_ex.h"

namespace {
orvo::TSpatialWriterEx* Writer(HSW h) { return reinterpret_cast<orvo::TSpatialWriterEx*>(h); }
}  // namespace

using orvo::Guarded;
using orvo::GuardedVoid;

extern "C" {

ORVO_API HSW ORVO_CDECL CreateSW(const char* file_name) {
  return Guarded<HSW>(
      nullptr, [&] { return reinterpret_cast<HSW>(orvo::TSpatialWriterEx::Create(file_name)); });
}

ORVO_API HSW ORVO_CDECL CreateExSW(const char* file_name, bool binary) {
  return Guarded<HSW>(nullptr, [&] {
    return reinterpret_cast<HSW>(orvo::TSpatialWriterEx::CreateEx(file_name, binary));
  });
}

ORVO_API void ORVO_CDECL FreeSW(HSW writer) {
  GuardedVoid([&] { delete Writer(writer); });
}

ORVO_API int64_t ORVO_CDECL AddRecordSW(HSW writer, int32_t id, int32_t kind,
                                        const int32_t* vertex_counts, const double* metric,
                                        int32_t vector_count) {
  if (writer == nullptr) return -1;
  return Guarded<int64_t>(
      -1, [&] { return Writer(writer)->AddRecord(id, kind, vertex_counts, metric, vector_count); });
}

ORVO_API int64_t ORVO_CDECL AddRecord3DSW(HSW writer, int32_t id, int32_t kind,
                                          const int32_t* vertex_counts, const double* metric,
                                          int32_t vector_count, const double* z) {
  if (writer == nullptr) return -1;
  return Guarded<int64_t>(-1, [&] {
    return Writer(writer)->AddRecord3D(id, kind, vertex_counts, metric, vector_count, z);
  });
}

// Kept for callers of the writer; bounds and ticks are not part of the files.
ORVO_API void ORVO_CDECL WriteBoundsSW(HSW) {}

ORVO_API void ORVO_CDECL WriteTicksSW(HSW) {}

}  // extern "C"
