// FT exports: a feature type of a classifier. Unguarded.
#include "api/classify_api.h"

using orvo::AsFeature;
using orvo::StringOut;
using orvo::TextArg;

extern "C" {

ORVO_API int32_t ORVO_CDECL GetIdFT(HFT feature, char* buffer, int32_t size) {
  return StringOut(AsFeature(feature)->Id(), buffer, size);
}

ORVO_API void ORVO_CDECL SetIdFT(HFT feature, const char* text) {
  AsFeature(feature)->SetId(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetNameFT(HFT feature, char* buffer, int32_t size) {
  return StringOut(AsFeature(feature)->Name1(), buffer, size);
}

ORVO_API void ORVO_CDECL SetNameFT(HFT feature, const char* text) {
  AsFeature(feature)->SetName1(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetName2FT(HFT feature, char* buffer, int32_t size) {
  return StringOut(AsFeature(feature)->Name2(), buffer, size);
}

ORVO_API void ORVO_CDECL SetName2FT(HFT feature, const char* text) {
  AsFeature(feature)->SetName2(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetAnnoFT(HFT feature, char* buffer, int32_t size) {
  return StringOut(AsFeature(feature)->Anno(), buffer, size);
}

ORVO_API void ORVO_CDECL SetAnnoFT(HFT feature, const char* text) {
  AsFeature(feature)->SetAnno(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetGraphIdFT(HFT feature, char* buffer, int32_t size) {
  return StringOut(AsFeature(feature)->GraphId(), buffer, size);
}

ORVO_API void ORVO_CDECL SetGraphIdFT(HFT feature, const char* text) {
  AsFeature(feature)->SetGraphId(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetLocalFT(HFT feature) { return AsFeature(feature)->Local(); }

ORVO_API void ORVO_CDECL SetLocalFT(HFT feature, int32_t local) {
  AsFeature(feature)->SetLocal(local);
}

ORVO_API int32_t ORVO_CDECL GetAttributeCountFT(HFT feature) {
  return AsFeature(feature)->AttributeCount();
}

ORVO_API int32_t ORVO_CDECL GetAttributeIdFT(HFT feature, int32_t index, char* buffer,
                                             int32_t size) {
  return StringOut(AsFeature(feature)->AttributeId(index), buffer, size);
}

ORVO_API bool ORVO_CDECL AddAttributeFT(HFT feature, const char* id, bool must_be) {
  return AsFeature(feature)->AddAttribute(TextArg(id), must_be);
}

ORVO_API bool ORVO_CDECL ReplaceAttributeFT(HFT feature, int32_t index, const char* id,
                                            bool must_be) {
  return AsFeature(feature)->ReplaceAttribute(index, TextArg(id), must_be);
}

ORVO_API int32_t ORVO_CDECL IsAttributeMustBeFT(HFT feature, int32_t index) {
  return AsFeature(feature)->IsAttributeMustBe(index) ? 1 : 0;
}

ORVO_API void ORVO_CDECL EraseAttributeFT(HFT feature, const char* id) {
  AsFeature(feature)->EraseAttribute(TextArg(id));
}

}  // extern "C"
