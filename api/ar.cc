// AR exports: the attribute reader. Every export is guarded; a null handle
// gives the neutral result (Free ignores it).
#include "api/guard.h"
#include "orvoapi.h"
#include "vector/attribute_reader_ex.h"

namespace {
orvo::TAttributeReaderEx* Reader(HAR h) { return reinterpret_cast<orvo::TAttributeReaderEx*>(h); }
}  // namespace

using orvo::Guarded;
using orvo::GuardedVoid;

extern "C" {

ORVO_API HAR ORVO_CDECL CreateAR(const char* file_name) {
  return Guarded<HAR>(
      nullptr, [&] { return reinterpret_cast<HAR>(orvo::TAttributeReaderEx::Create(file_name)); });
}

ORVO_API HAR ORVO_CDECL CreateExAR(const char* file_name, bool binary) {
  return Guarded<HAR>(nullptr, [&] {
    return reinterpret_cast<HAR>(new orvo::TAttributeReaderEx(file_name, binary));
  });
}

ORVO_API void ORVO_CDECL FreeAR(HAR reader) {
  GuardedVoid([&] { delete Reader(reader); });
}

ORVO_API void ORVO_CDECL ResetAR(HAR reader) {
  if (reader == nullptr) return;
  GuardedVoid([&] { Reader(reader)->Reset(); });
}

ORVO_API bool ORVO_CDECL NextAR(HAR reader) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->Next(); });
}

ORVO_API int32_t ORVO_CDECL GetIdAR(HAR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetId(); });
}

ORVO_API int32_t ORVO_CDECL GetUserIdAR(HAR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetUserId(); });
}

ORVO_API bool ORVO_CDECL GetClassCodeAR(HAR reader, char* buffer, int32_t size) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->CopyClassCode(buffer, size); });
}

ORVO_API int32_t ORVO_CDECL GetAttributeCountAR(HAR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetAttributeCount(); });
}

ORVO_API bool ORVO_CDECL GetAttributeIdAR(HAR reader, int32_t index, char* buffer, int32_t size) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->CopyAttributeId(index, buffer, size); });
}

ORVO_API bool ORVO_CDECL GetAttributeAR(HAR reader, int32_t index, char* buffer, int32_t size) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->CopyAttribute(index, buffer, size); });
}

ORVO_API int32_t ORVO_CDECL GetAttributeDataTypeAR(HAR reader, int32_t index) {
  if (reader == nullptr) return -1;
  return Guarded<int32_t>(-1, [&] { return Reader(reader)->GetAttributeDataType(index); });
}

ORVO_API int32_t ORVO_CDECL GetIntAttributeAR(HAR reader, int32_t index) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetIntAttribute(index); });
}

ORVO_API double ORVO_CDECL GetDoubleAttributeAR(HAR reader, int32_t index) {
  if (reader == nullptr) return 0.0;
  return Guarded(0.0, [&] { return Reader(reader)->GetDoubleAttribute(index); });
}

ORVO_API int32_t ORVO_CDECL GetBlobAttributeAR(HAR reader, int32_t index, void* buffer,
                                               int32_t size) {
  if (reader == nullptr) return 0;
  return Guarded<int32_t>(0, [&] { return Reader(reader)->GetBlobAttribute(index, buffer, size); });
}

ORVO_API int64_t ORVO_CDECL GetPositionAR(HAR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int64_t>(0, [&] { return Reader(reader)->GetPosition(); });
}

ORVO_API bool ORVO_CDECL SetPositionAR(HAR reader, int64_t position) {
  if (reader == nullptr) return false;
  return Guarded(false, [&] { return Reader(reader)->SetPosition(position); });
}

ORVO_API int64_t ORVO_CDECL GetSizeAR(HAR reader) {
  if (reader == nullptr) return 0;
  return Guarded<int64_t>(0, [&] { return Reader(reader)->GetSize(); });
}

}  // extern "C"
