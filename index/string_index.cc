// Ordered string-keyed integer index.
#include "index/string_index.h"

namespace orvo {

bool TStringIndex::Insert(const char* key, int32_t value) {
  return map_.emplace(key, value).second;
}

bool TStringIndex::Find(const char* key, int32_t* value) const {
  auto it = map_.find(std::string_view(key));
  if (it == map_.end()) return false;
  *value = it->second;
  return true;
}

}  // namespace orvo
