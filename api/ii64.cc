// II64 exports: unsigned 64-bit-keyed index. Unguarded: failures reach the caller.
#include "index/int64_index.h"
#include "orvoapi.h"

namespace {
orvo::TInt64Index* Index(HII64 h) { return reinterpret_cast<orvo::TInt64Index*>(h); }
}  // namespace

extern "C" {

ORVO_API HII64 ORVO_CDECL CreateII64(void) {
  return reinterpret_cast<HII64>(new orvo::TInt64Index);
}

ORVO_API void ORVO_CDECL FreeII64(HII64 index) { delete Index(index); }

ORVO_API bool ORVO_CDECL InsertII64(HII64 index, uint64_t key, int32_t value) {
  return Index(index)->Insert(key, value);
}

ORVO_API bool ORVO_CDECL FindII64(HII64 index, uint64_t key, int32_t* value) {
  return Index(index)->Find(key, value);
}

ORVO_API int32_t ORVO_CDECL CountII64(HII64 index) { return Index(index)->Count(); }

ORVO_API void ORVO_CDECL DeleteII64(HII64 index, uint64_t key) { Index(index)->Delete(key); }

ORVO_API void ORVO_CDECL ClearII64(HII64 index) { Index(index)->Clear(); }

}  // extern "C"
