// MP exports: map passports. All guarded; string getters copy only when the
// text fits.
#include "api/guard.h"
#include "base/errors.h"
#include "orvoapi.h"
#include "vector/map_passport.h"

namespace {

const char kNullPassport[] = "null passport handle";

// The passport behind a handle; a null handle raises, so the guard gives the
// export's neutral result.
orvo::TMapPassport& Passport(HMP h) {
  if (h == nullptr) orvo::Raise(kNullPassport);
  return *reinterpret_cast<orvo::TMapPassport*>(h);
}

}  // namespace

extern "C" {

ORVO_API HMP ORVO_CDECL CreateMP(void) {
  return orvo::Guarded<HMP>(nullptr, [] { return reinterpret_cast<HMP>(new orvo::TMapPassport); });
}

ORVO_API void ORVO_CDECL FreeMP(HMP h) {
  orvo::GuardedVoid([&] { delete reinterpret_cast<orvo::TMapPassport*>(h); });
}

ORVO_API bool ORVO_CDECL LoadMP(HMP h, const char* file_name) {
  return orvo::Guarded(false, [&] { return Passport(h).Load(file_name); });
}

ORVO_API bool ORVO_CDECL SaveMP(HMP h) {
  return orvo::Guarded(false, [&] {
    Passport(h).Save();
    return true;
  });
}

ORVO_API bool ORVO_CDECL FindMP(HMP h, const char* file_name, bool binary) {
  return orvo::Guarded(false, [&] {
    Passport(h).Find(file_name, binary);
    return true;
  });
}

ORVO_API bool ORVO_CDECL GetAliasMP(HMP h, char* buffer, int32_t size) {
  return orvo::GuardedCopyIfFits(buffer, size, [&] { return Passport(h).Alias(); });
}

ORVO_API bool ORVO_CDECL GetFileNameMP(HMP h, char* buffer, int32_t size) {
  return orvo::GuardedCopyIfFits(buffer, size, [&] { return Passport(h).FileName(); });
}

ORVO_API void ORVO_CDECL SetAliasMP(HMP h, const char* alias) {
  orvo::GuardedVoid([&] { Passport(h).SetAlias(alias); });
}

ORVO_API void ORVO_CDECL SetFileNameMP(HMP h, const char* file_name) {
  orvo::GuardedVoid([&] { Passport(h).SetFileName(file_name); });
}

ORVO_API void ORVO_CDECL GetBoundMP(HMP h, BOUND* bound) {
  orvo::GuardedVoid([&] {
    if (bound != nullptr) *bound = Passport(h).GetBound();
  });
}

ORVO_API void ORVO_CDECL SetBoundMP(HMP h, const BOUND* bound) {
  orvo::GuardedVoid([&] {
    if (bound != nullptr) Passport(h).SetBound(*bound);
  });
}

ORVO_API int32_t ORVO_CDECL GetAttributeCountMP(HMP h) {
  return orvo::Guarded<int32_t>(0, [&] { return Passport(h).AttributeCount(); });
}

ORVO_API bool ORVO_CDECL GetAttributeIdPosMP(HMP h, int32_t index, char* buffer, int32_t size) {
  return orvo::GuardedCopyIfFits(buffer, size, [&] { return Passport(h).AttributeKey(index); });
}

ORVO_API bool ORVO_CDECL GetAttributePosMP(HMP h, int32_t index, char* buffer, int32_t size) {
  return orvo::GuardedCopyIfFits(buffer, size, [&] { return Passport(h).AttributeValue(index); });
}

ORVO_API bool ORVO_CDECL GetAttributeMP(HMP h, const char* key, char* buffer, int32_t size) {
  return orvo::GuardedCopyIfFits(buffer, size, [&] { return Passport(h).Attribute(key); });
}

ORVO_API bool ORVO_CDECL AddAttributeMP(HMP h, const char* key, const char* value) {
  return orvo::Guarded(false, [&] { return Passport(h).AddAttribute(key, value); });
}

ORVO_API bool ORVO_CDECL RemoveAttributeMP(HMP h, const char* key) {
  return orvo::Guarded(false, [&] { return Passport(h).RemoveAttribute(key); });
}

}  // extern "C"
