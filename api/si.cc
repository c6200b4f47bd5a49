// SI exports: string-keyed index. Unguarded: failures reach the caller.
#include "index/string_index.h"
#include "orvoapi.h"

namespace {
orvo::TStringIndex* Index(HSI h) { return reinterpret_cast<orvo::TStringIndex*>(h); }
}  // namespace

extern "C" {

ORVO_API HSI ORVO_CDECL CreateSI(void) { return reinterpret_cast<HSI>(new orvo::TStringIndex); }

ORVO_API void ORVO_CDECL FreeSI(HSI index) { delete Index(index); }

ORVO_API bool ORVO_CDECL InsertSI(HSI index, const char* key, int32_t value) {
  return Index(index)->Insert(key, value);
}

ORVO_API bool ORVO_CDECL FindSI(HSI index, const char* key, int32_t* value) {
  return Index(index)->Find(key, value);
}

ORVO_API int32_t ORVO_CDECL CountSI(HSI index) { return Index(index)->Count(); }

ORVO_API void ORVO_CDECL DeleteSI(HSI index, const char* key) { Index(index)->Delete(key); }

ORVO_API void ORVO_CDECL ClearSI(HSI index) { Index(index)->Clear(); }

}  // extern "C"
