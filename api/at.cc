// AT exports: an attribute type of a classifier, with its allowed values,
// limits and value checks. Unguarded; the checks themselves never throw.
#include "api/classify_api.h"

using orvo::AsAttribute;
using orvo::StringOut;
using orvo::TextArg;

extern "C" {

ORVO_API int32_t ORVO_CDECL GetIdAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Id(), buffer, size);
}

ORVO_API void ORVO_CDECL SetIdAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetId(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetNameAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Name1(), buffer, size);
}

ORVO_API void ORVO_CDECL SetNameAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetName1(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetName2AT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Name2(), buffer, size);
}

ORVO_API void ORVO_CDECL SetName2AT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetName2(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetAnnoAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Anno(), buffer, size);
}

ORVO_API void ORVO_CDECL SetAnnoAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetAnno(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetDataTypeAT(HAT attribute) {
  return AsAttribute(attribute)->DataType();
}

ORVO_API void ORVO_CDECL SetDataTypeAT(HAT attribute, int32_t data_type) {
  AsAttribute(attribute)->SetDataType(data_type);
}

ORVO_API int32_t ORVO_CDECL GetDataSubTypeAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->DataSubType(), buffer, size);
}

ORVO_API void ORVO_CDECL SetDataSubTypeAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetDataSubType(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetDefaultAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Default(), buffer, size);
}

ORVO_API void ORVO_CDECL SetDefaultAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetDefault(TextArg(text));
}

ORVO_API void ORVO_CDECL ClearDefaultAT(HAT attribute) { AsAttribute(attribute)->ClearDefault(); }

// ---- allowed values
ORVO_API int32_t ORVO_CDECL GetValueCountAT(HAT attribute) {
  return AsAttribute(attribute)->ValueCount();
}

ORVO_API int32_t ORVO_CDECL GetValueAT(HAT attribute, int32_t index, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Value(index), buffer, size);
}

ORVO_API void ORVO_CDECL SetValueAT(HAT attribute, int32_t index, const char* text) {
  AsAttribute(attribute)->SetValue(index, TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetValueAnnoAT(HAT attribute, int32_t index, char* buffer,
                                           int32_t size) {
  return StringOut(AsAttribute(attribute)->ValueAnno(index), buffer, size);
}

ORVO_API void ORVO_CDECL SetValueAnnoAT(HAT attribute, int32_t index, const char* text) {
  AsAttribute(attribute)->SetValueAnno(index, TextArg(text));
}

ORVO_API void ORVO_CDECL AddValueAT(HAT attribute, const char* value, const char* anno) {
  AsAttribute(attribute)->AddValue(TextArg(value), TextArg(anno));
}

ORVO_API void ORVO_CDECL EraseValueAT(HAT attribute, int32_t index) {
  AsAttribute(attribute)->EraseValue(index);
}

ORVO_API void ORVO_CDECL EraseValueAT2(HAT attribute, const char* value) {
  AsAttribute(attribute)->EraseValueByText(TextArg(value));
}

ORVO_API void ORVO_CDECL ClearValuesAT(HAT attribute) { AsAttribute(attribute)->ClearValues(); }

ORVO_API int32_t ORVO_CDECL HasValuesAT(HAT attribute) {
  return AsAttribute(attribute)->HasValues() ? 1 : 0;
}

// ---- limits and unit
ORVO_API int32_t ORVO_CDECL GetMaxAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Max(), buffer, size);
}

ORVO_API void ORVO_CDECL SetMaxAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetMax(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetMinAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Min(), buffer, size);
}

ORVO_API void ORVO_CDECL SetMinAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetMin(TextArg(text));
}

ORVO_API void ORVO_CDECL ClearMinMaxAT(HAT attribute) { AsAttribute(attribute)->ClearMinMax(); }

ORVO_API bool ORVO_CDECL HasLimitsAT(HAT attribute) { return AsAttribute(attribute)->HasLimits(); }

ORVO_API int32_t ORVO_CDECL GetUnitAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Unit(), buffer, size);
}

ORVO_API void ORVO_CDECL SetUnitAT(HAT attribute, const char* text) {
  AsAttribute(attribute)->SetUnit(TextArg(text));
}

// ---- checks
ORVO_API bool ORVO_CDECL CheckIntAT(HAT attribute, int32_t value) {
  return AsAttribute(attribute)->CheckInt(value);
}

ORVO_API bool ORVO_CDECL CheckDoubleAT(HAT attribute, double value) {
  return AsAttribute(attribute)->CheckDouble(value);
}

ORVO_API bool ORVO_CDECL CheckStringAT(HAT attribute, const char* value) {
  return AsAttribute(attribute)->CheckString(TextArg(value));
}

ORVO_API int32_t ORVO_CDECL GetReasonAT(HAT attribute, char* buffer, int32_t size) {
  return StringOut(AsAttribute(attribute)->Reason(), buffer, size);
}

ORVO_API int32_t ORVO_CDECL FindValueIndexAT(HAT attribute, const char* value) {
  return AsAttribute(attribute)->FindValueIndex(TextArg(value));
}

}  // extern "C"
