// One collection of a classifier: definitions owned by their upper-cased id,
// in byte order, with a cached key list for access by index.
#ifndef CLASSIFY_DEFINITION_MAP_H_
#define CLASSIFY_DEFINITION_MAP_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "base/holders.h"
#include "base/id_index.h"
#include "base/strings.h"

namespace orvo {

// T has a constructor from its id and SetId. Keys are compared byte-wise as
// unsigned bytes (std::string's ordering). Beside the ordered map, a hash
// index over the map's own key strings answers lookups by id in constant time.
template <class T>
class TDefinitionMap {
 public:
  using Map = std::map<std::string, TPtr<T>, std::less<>>;

  TDefinitionMap() = default;
  TDefinitionMap(const TDefinitionMap&) = delete;
  TDefinitionMap& operator=(const TDefinitionMap&) = delete;

  int32_t Count() const { return static_cast<int32_t>(map_.size()); }

  // The index-th key in byte order; empty when index is out of range. The first
  // call after a change rebuilds the key list, later calls read it directly.
  // The reference is valid until the next change of the collection.
  const std::string& IdAt(int32_t index) {
    static const std::string kNone;
    if (keys_stale_) RebuildKeys();
    if (index < 0 || index >= static_cast<int32_t>(keys_.size())) return kNone;
    return keys_[static_cast<size_t>(index)];
  }

  // The object under the upper-cased id, or null. The pointer stays valid until
  // the object is erased or the collection cleared.
  T* Get(std::string_view id) const {
    if (!index_valid_) {
      auto it = map_.find(UpperCopy(id));
      return it == map_.end() ? nullptr : it->second.get();
    }
    return index_.FindFolding(id);
  }

  // Creates an object whose id is the upper-cased id; false when it exists.
  bool Add(std::string_view id) {
    std::string key = UpperCopy(id);
    if (map_.count(key) != 0) return false;
    TPtr<T> object(new T(key));
    Index(map_.emplace(std::move(key), std::move(object)).first);
    keys_stale_ = true;
    return true;
  }

  // Takes an object under its own id (upper-cased for the key); false, and
  // the object is destroyed, when the key exists.
  bool Insert(TPtr<T> object) {
    std::string key = UpperCopy(object->Id());
    // A load inserts in ascending key order: past the last key, the end is the
    // place and no search is needed.
    if (map_.empty() || map_.rbegin()->first < key) {
      Index(map_.emplace_hint(map_.end(), std::move(key), std::move(object)));
      keys_stale_ = true;
      return true;
    }
    auto [it, inserted] = map_.emplace(std::move(key), std::move(object));
    if (inserted) {
      Index(it);
      keys_stale_ = true;
    }
    return inserted;
  }

  // Re-keys one object and sets its id to the upper-cased new id; false when
  // the old key is missing or the new one exists (also for the same id).
  bool Rename(std::string_view old_id, std::string_view new_id) {
    std::string old_key = UpperCopy(old_id);
    std::string new_key = UpperCopy(new_id);
    auto it = map_.find(old_key);
    if (it == map_.end() || map_.count(new_key) != 0) return false;
    it->second->SetId(new_key);  // the only step that can fail, so it goes first
    index_.Erase(it->first);
    auto node = map_.extract(it);
    node.key() = std::move(new_key);
    Index(map_.insert(std::move(node)).position);
    keys_stale_ = true;
    return true;
  }

  // Destroys the object and removes its entry; false when the key is missing.
  bool Erase(std::string_view id) {
    auto it = map_.find(UpperCopy(id));
    if (it == map_.end()) return false;
    index_.Erase(it->first);
    map_.erase(it);
    keys_stale_ = true;
    return true;
  }

  void Clear() {
    index_.Clear();
    index_valid_ = true;
    map_.clear();
    keys_.clear();
    keys_stale_ = true;
  }

  // Marks the key list for a rebuild (after a load).
  void MarkStale() { keys_stale_ = true; }

  // Entries in key order.
  const Map& Entries() const { return map_; }

 private:
  // Adds the entry to the hash index. Should that fail for want of memory,
  // lookups fall back to the ordered map until the next Clear.
  void Index(typename Map::iterator it) {
    if (!index_valid_) return;
    try {
      index_.Insert(it->first, it->second.get());
    } catch (...) {
      index_.Clear();
      index_valid_ = false;
    }
  }

  void RebuildKeys() {
    keys_.clear();
    keys_.reserve(map_.size());
    for (const auto& entry : map_) keys_.push_back(entry.first);
    keys_stale_ = false;  // only once the list is complete
  }

  Map map_;
  // Upper-cased id (a view of the map's key) -> object; complete only while
  // index_valid_.
  TIdIndex<T> index_;
  bool index_valid_ = true;
  std::vector<std::string> keys_;
  bool keys_stale_ = true;
};

}  // namespace orvo

#endif  // CLASSIFY_DEFINITION_MAP_H_
