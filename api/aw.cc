// AW exports: the attribute writer. Every export is guarded: a Create failure
// gives null, AddRecordAW -1, and the attribute exports swallow failures; a
// null handle does nothing (-1 from AddRecordAW).
#include "api/guard.h"
#include "orvoapi.h"
#include "vector/attribute_writer_ex.h"

namespace {
orvo::TAttributeWriterEx* Writer(HAW h) { return reinterpret_cast<orvo::TAttributeWriterEx*>(h); }
}  // namespace

using orvo::Guarded;
using orvo::GuardedVoid;

extern "C" {

ORVO_API HAW ORVO_CDECL CreateAW(const char* file_name) {
  return Guarded<HAW>(
      nullptr, [&] { return reinterpret_cast<HAW>(orvo::TAttributeWriterEx::Create(file_name)); });
}

ORVO_API HAW ORVO_CDECL CreateExAW(const char* file_name, bool binary) {
  return Guarded<HAW>(nullptr, [&] {
    return reinterpret_cast<HAW>(new orvo::TAttributeWriterEx(file_name, binary));
  });
}

ORVO_API void ORVO_CDECL FreeAW(HAW writer) {
  GuardedVoid([&] { delete Writer(writer); });
}

ORVO_API int64_t ORVO_CDECL AddRecordAW(HAW writer, int32_t id, int32_t user_id,
                                        const char* class_code) {
  if (writer == nullptr) return -1;
  return Guarded<int64_t>(-1, [&] { return Writer(writer)->AddRecord(id, user_id, class_code); });
}

ORVO_API void ORVO_CDECL AddAttributeAW(HAW writer, const char* attribute_id, const char* value) {
  if (writer == nullptr) return;
  GuardedVoid([&] { Writer(writer)->AddAttribute(attribute_id, value); });
}

ORVO_API void ORVO_CDECL AddIntAttributeAW(HAW writer, const char* attribute_id, int32_t value) {
  if (writer == nullptr) return;
  GuardedVoid([&] { Writer(writer)->AddIntAttribute(attribute_id, value); });
}

ORVO_API void ORVO_CDECL AddDoubleAttributeAW(HAW writer, const char* attribute_id, double value) {
  if (writer == nullptr) return;
  GuardedVoid([&] { Writer(writer)->AddDoubleAttribute(attribute_id, value); });
}

ORVO_API void ORVO_CDECL AddBlobAttributeAW(HAW writer, const char* attribute_id, const void* bytes,
                                            int32_t count) {
  if (writer == nullptr) return;
  GuardedVoid([&] { Writer(writer)->AddBlobAttribute(attribute_id, bytes, count); });
}

}  // extern "C"
