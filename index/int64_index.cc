// Ordered 64-bit-keyed integer index.
#include "index/int64_index.h"

namespace orvo {

bool TInt64Index::Find(uint64_t key, int32_t* value) const {
  auto it = map_.find(key);
  if (it == map_.end()) return false;
  *value = it->second;
  return true;
}

}  // namespace orvo
