// SE exports: selections. CreateSE, LoadSE and SaveSE are guarded; the set
// operations are not (they raise nothing but allocation failures). A null
// handle gives false or does nothing.
#include "api/guard.h"
#include "orvoapi.h"
#include "vector/selection.h"

namespace {
orvo::TSelection* Selection(HSE h) { return reinterpret_cast<orvo::TSelection*>(h); }
}  // namespace

extern "C" {

ORVO_API HSE ORVO_CDECL CreateSE(void) {
  return orvo::Guarded<HSE>(nullptr, [] { return reinterpret_cast<HSE>(new orvo::TSelection); });
}

ORVO_API void ORVO_CDECL FreeSE(HSE h) { delete Selection(h); }

ORVO_API bool ORVO_CDECL AddSE(HSE h, int32_t id) { return h != nullptr && Selection(h)->Add(id); }

ORVO_API bool ORVO_CDECL EraseSE(HSE h, int32_t id) {
  return h != nullptr && Selection(h)->Erase(id);
}

ORVO_API bool ORVO_CDECL FindSE(HSE h, int32_t id) {
  return h != nullptr && Selection(h)->Find(id);
}

ORVO_API void ORVO_CDECL ClearSE(HSE h) {
  if (h != nullptr) Selection(h)->Clear();
}

ORVO_API bool ORVO_CDECL SaveSE(HSE h, const char* file_name) {
  return orvo::Guarded(false, [&] {
    if (h == nullptr) return false;
    Selection(h)->Save(file_name);
    return true;
  });
}

ORVO_API bool ORVO_CDECL LoadSE(HSE h, const char* file_name) {
  return orvo::Guarded(false, [&] {
    if (h == nullptr) return false;
    Selection(h)->Load(file_name);
    return true;
  });
}

}  // extern "C"
