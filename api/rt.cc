// RT exports: a graph type (symbolisation) of a classifier. Unguarded.
#include "api/classify_api.h"

using orvo::AsGraph;
using orvo::StringOut;
using orvo::TextArg;

extern "C" {

ORVO_API int32_t ORVO_CDECL GetIdRT(HRT graph, char* buffer, int32_t size) {
  return StringOut(AsGraph(graph)->Id(), buffer, size);
}

ORVO_API void ORVO_CDECL SetIdRT(HRT graph, const char* text) {
  AsGraph(graph)->SetId(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetAnnoRT(HRT graph, char* buffer, int32_t size) {
  return StringOut(AsGraph(graph)->Anno(), buffer, size);
}

ORVO_API void ORVO_CDECL SetAnnoRT(HRT graph, const char* text) {
  AsGraph(graph)->SetAnno(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetStdSymbolRT(HRT graph, char* buffer, int32_t size) {
  return StringOut(AsGraph(graph)->StdSymbol(), buffer, size);
}

ORVO_API void ORVO_CDECL SetStdSymbolRT(HRT graph, const char* text) {
  AsGraph(graph)->SetStdSymbol(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetFileSymbolRT(HRT graph, char* buffer, int32_t size) {
  return StringOut(AsGraph(graph)->FileSymbol(), buffer, size);
}

ORVO_API void ORVO_CDECL SetFileSymbolRT(HRT graph, const char* text) {
  AsGraph(graph)->SetFileSymbol(TextArg(text));
}

ORVO_API int32_t ORVO_CDECL GetPriorityRT(HRT graph) { return AsGraph(graph)->Priority(); }

ORVO_API void ORVO_CDECL SetPriorityRT(HRT graph, int32_t priority) {
  AsGraph(graph)->SetPriority(priority);
}

ORVO_API double ORVO_CDECL GetMinScaleRT(HRT graph) { return AsGraph(graph)->MinScale(); }

ORVO_API void ORVO_CDECL SetMinScaleRT(HRT graph, double scale) {
  AsGraph(graph)->SetMinScale(scale);
}

ORVO_API double ORVO_CDECL GetMaxScaleRT(HRT graph) { return AsGraph(graph)->MaxScale(); }

ORVO_API void ORVO_CDECL SetMaxScaleRT(HRT graph, double scale) {
  AsGraph(graph)->SetMaxScale(scale);
}

}  // extern "C"
