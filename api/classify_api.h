// Shared pieces of the classifier exports (CS, FT, AT, GT, RT): handle
// conversion, text arguments and the bounded string-out rule.
#ifndef API_CLASSIFY_API_H_
#define API_CLASSIFY_API_H_

#include <cstdint>
#include <string_view>

#include "base/string_copy.h"
#include "classify/classify.h"
#include "orvoapi.h"

namespace orvo {

inline TClassify* AsClassify(HCS h) { return reinterpret_cast<TClassify*>(h); }
inline TFeature* AsFeature(HFT h) { return reinterpret_cast<TFeature*>(h); }
inline TAttribute* AsAttribute(HAT h) { return reinterpret_cast<TAttribute*>(h); }
inline TGroup* AsGroup(HGT h) { return reinterpret_cast<TGroup*>(h); }
inline TGraph* AsGraph(HRT h) { return reinterpret_cast<TGraph*>(h); }

// A host's text argument; null is the empty text.
inline std::string_view TextArg(const char* text) {
  return text != nullptr ? std::string_view(text) : std::string_view();
}

// The classifier families' string-out rule (strncpy): 0 for a null buffer,
// otherwise a bounded copy and 1.
inline int32_t StringOut(std::string_view text, char* buffer, int32_t size) {
  if (buffer == nullptr) return 0;
  BoundedCopy(text, buffer, size);
  return 1;
}

}  // namespace orvo

#endif  // API_CLASSIFY_API_H_
