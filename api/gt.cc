// GT exports: a group type of a classifier. Unguarded.
#include "api/classify_api.h"

using orvo::AsGroup;
using orvo::StringOut;
using orvo::TextArg;

extern "C" {

ORVO_API int32_t ORVO_CDECL GetIdGT(HGT group, char* buffer, int32_t size) {
  return StringOut(AsGroup(group)->Id(), buffer, size);
}

ORVO_API void ORVO_CDECL SetIdGT(HGT group, const char* text) {
  AsGroup(group)->SetId(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetAnnoGT(HGT group, char* buffer, int32_t size) {
  return StringOut(AsGroup(group)->Anno(), buffer, size);
}

ORVO_API void ORVO_CDECL SetAnnoGT(HGT group, const char* text) {
  AsGroup(group)->SetAnno(TextArg(text));
}

}  // extern "C"
