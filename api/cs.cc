// CS exports: the classifier and its four collections. Only CreateCS and
// FreeCS are guarded; the others let failures reach the caller.
#include "api/classify_api.h"
#include "api/guard.h"

using orvo::AsClassify;
using orvo::StringOut;
using orvo::TextArg;

extern "C" {

ORVO_API HCS ORVO_CDECL CreateCS(void) {
  return orvo::Guarded<HCS>(nullptr, [] { return reinterpret_cast<HCS>(new orvo::TClassify); });
}

ORVO_API void ORVO_CDECL FreeCS(HCS classify) {
  orvo::GuardedVoid([&] { delete AsClassify(classify); });
}

ORVO_API void ORVO_CDECL ClearCS(HCS classify) { AsClassify(classify)->Clear(); }

ORVO_API bool ORVO_CDECL LoadFileCS(HCS classify, const char* path) {
  return AsClassify(classify)->LoadFile(path);
}

ORVO_API bool ORVO_CDECL LoadMemoryCS(HCS classify, const char* text, int32_t length) {
  return AsClassify(classify)->LoadMemory(text, length);
}

ORVO_API bool ORVO_CDECL SaveFileCS(HCS classify, const char* path) {
  return AsClassify(classify)->SaveFile(path);
}

// ---- features
ORVO_API int32_t ORVO_CDECL GetFeatureCountCS(HCS classify) {
  return AsClassify(classify)->Features().Count();
}

ORVO_API int32_t ORVO_CDECL GetFeatureIdCS(HCS classify, int32_t index, char* buffer,
                                           int32_t size) {
  return StringOut(AsClassify(classify)->Features().IdAt(index), buffer, size);
}

ORVO_API HFT ORVO_CDECL GetFeatureCS(HCS classify, const char* id) {
  return reinterpret_cast<HFT>(AsClassify(classify)->Features().Get(TextArg(id)));
}

ORVO_API int32_t ORVO_CDECL RenameFeatureCS(HCS classify, const char* old_id, const char* new_id) {
  return AsClassify(classify)->Features().Rename(TextArg(old_id), TextArg(new_id)) ? 1 : 0;
}

ORVO_API int32_t ORVO_CDECL EraseFeatureCS(HCS classify, const char* id) {
  return AsClassify(classify)->Features().Erase(TextArg(id)) ? 1 : 0;
}

ORVO_API int32_t ORVO_CDECL AddFeatureCS(HCS classify, const char* id) {
  return AsClassify(classify)->Features().Add(TextArg(id)) ? 1 : 0;
}

// ---- attributes
ORVO_API int32_t ORVO_CDECL GetAttributeCountCS(HCS classify) {
  return AsClassify(classify)->Attributes().Count();
}

ORVO_API int32_t ORVO_CDECL GetAttributeIdCS(HCS classify, int32_t index, char* buffer,
                                             int32_t size) {
  return StringOut(AsClassify(classify)->Attributes().IdAt(index), buffer, size);
}

ORVO_API HAT ORVO_CDECL GetAttributeCS(HCS classify, const char* id) {
  return reinterpret_cast<HAT>(AsClassify(classify)->Attributes().Get(TextArg(id)));
}

ORVO_API int32_t ORVO_CDECL RenameAttributeCS(HCS classify, const char* old_id,
                                              const char* new_id) {
  return AsClassify(classify)->Attributes().Rename(TextArg(old_id), TextArg(new_id)) ? 1 : 0;
}

ORVO_API int32_t ORVO_CDECL EraseAttributeCS(HCS classify, const char* id) {
  return AsClassify(classify)->Attributes().Erase(TextArg(id)) ? 1 : 0;
}

ORVO_API bool ORVO_CDECL AddAttributeCS(HCS classify, const char* id) {
  return AsClassify(classify)->Attributes().Add(TextArg(id));
}

// ---- groups
ORVO_API int32_t ORVO_CDECL GetGroupCountCS(HCS classify) {
  return AsClassify(classify)->Groups().Count();
}

ORVO_API int32_t ORVO_CDECL GetGroupIdCS(HCS classify, int32_t index, char* buffer, int32_t size) {
  return StringOut(AsClassify(classify)->Groups().IdAt(index), buffer, size);
}

ORVO_API HGT ORVO_CDECL GetGroupCS(HCS classify, const char* id) {
  return reinterpret_cast<HGT>(AsClassify(classify)->Groups().Get(TextArg(id)));
}

ORVO_API bool ORVO_CDECL RenameGroupCS(HCS classify, const char* old_id, const char* new_id) {
  return AsClassify(classify)->Groups().Rename(TextArg(old_id), TextArg(new_id));
}

ORVO_API bool ORVO_CDECL EraseGroupCS(HCS classify, const char* id) {
  return AsClassify(classify)->Groups().Erase(TextArg(id));
}

ORVO_API bool ORVO_CDECL AddGroupCS(HCS classify, const char* id) {
  return AsClassify(classify)->Groups().Add(TextArg(id));
}

// ---- graphs
ORVO_API int32_t ORVO_CDECL GetGraphCountCS(HCS classify) {
  return AsClassify(classify)->Graphs().Count();
}

ORVO_API int32_t ORVO_CDECL GetGraphIdCS(HCS classify, int32_t index, char* buffer, int32_t size) {
  return StringOut(AsClassify(classify)->Graphs().IdAt(index), buffer, size);
}

ORVO_API HRT ORVO_CDECL GetGraphCS(HCS classify, const char* id) {
  return reinterpret_cast<HRT>(AsClassify(classify)->Graphs().Get(TextArg(id)));
}

ORVO_API int32_t ORVO_CDECL RenameGraphCS(HCS classify, const char* old_id, const char* new_id) {
  return AsClassify(classify)->Graphs().Rename(TextArg(old_id), TextArg(new_id)) ? 1 : 0;
}

ORVO_API int32_t ORVO_CDECL EraseGraphCS(HCS classify, const char* id) {
  return AsClassify(classify)->Graphs().Erase(TextArg(id)) ? 1 : 0;
}

ORVO_API bool ORVO_CDECL AddGraphCS(HCS classify, const char* id) {
  return AsClassify(classify)->Graphs().Add(TextArg(id));
}

}  // extern "C"
