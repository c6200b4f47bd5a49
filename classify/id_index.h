// Hash index from upper-cased ids to the objects of one classifier collection:
// open addressing with linear probing over a power-of-two table, so that a
// lookup costs one hash over the folded id and, in the common case, one slot.
#ifndef CLASSIFY_ID_INDEX_H_
#define CLASSIFY_ID_INDEX_H_

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

namespace orvo {

// Keys are views of strings owned elsewhere (the collection's map keys), which
// must outlive their entries. At most half the slots are in use.
template <class T>
class TIdIndex {
 public:
  // Hash of an id as stored (already upper-cased): 8 bytes at a time.
  static uint64_t Hash(const char* p, size_t n) {
    uint64_t h = 0x9E3779B97F4A7C15u ^ n;
    while (n >= 8) {
      uint64_t w;
      std::memcpy(&w, p, 8);
      h = Mix(h ^ w);
      p += 8;
      n -= 8;
    }
    if (n > 0) {
      uint64_t w = 0;
      std::memcpy(&w, p, n);
      h = Mix(h ^ w);
    }
    return h;
  }

  T* Find(std::string_view key) const { return Find(key, Hash(key.data(), key.size())); }

  T* Find(std::string_view key, uint64_t hash) const {
    if (slots_.empty()) return nullptr;
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.object == nullptr) return nullptr;
      if (slot.hash == hash && slot.length == key.size() &&
          std::memcmp(slot.key, key.data(), key.size()) == 0) {
        return slot.object;
      }
    }
  }

  // Adds or replaces the entry of key. Throws std::bad_alloc when the table
  // cannot grow (the index is then unchanged).
  void Insert(std::string_view key, T* object) {
    if (2 * (count_ + 1) > slots_.size()) Grow();
    uint64_t hash = Hash(key.data(), key.size());
    size_t i = hash & mask_;
    for (; slots_[i].object != nullptr; i = (i + 1) & mask_) {
      Slot& slot = slots_[i];
      if (slot.hash == hash && slot.length == key.size() &&
          std::memcmp(slot.key, key.data(), key.size()) == 0) {
        slot = Slot{hash, object, key.data(), key.size()};
        return;
      }
    }
    slots_[i] = Slot{hash, object, key.data(), key.size()};
    ++count_;
  }

  void Erase(std::string_view key) {
    if (slots_.empty()) return;
    uint64_t hash = Hash(key.data(), key.size());
    size_t i = hash & mask_;
    for (;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.object == nullptr) return;
      if (slot.hash == hash && slot.length == key.size() &&
          std::memcmp(slot.key, key.data(), key.size()) == 0) {
        break;
      }
    }
    // Backward shift: later entries of the run move up when the hole lies
    // between their home slot and where they stand.
    size_t hole = i;
    for (size_t j = (i + 1) & mask_; slots_[j].object != nullptr; j = (j + 1) & mask_) {
      size_t home = slots_[j].hash & mask_;
      if (((j - home) & mask_) >= ((j - hole) & mask_)) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole] = Slot{};
    --count_;
  }

  void Clear() {
    slots_.clear();
    mask_ = 0;
    count_ = 0;
  }

 private:
  struct Slot {
    uint64_t hash = 0;
    T* object = nullptr;  // null: free
    const char* key = nullptr;
    size_t length = 0;
  };

  static uint64_t Mix(uint64_t h) {
    h *= 0xBF58476D1CE4E5B9u;
    return h ^ (h >> 31);
  }

  void Grow() {
    size_t size = slots_.empty() ? 16 : 2 * slots_.size();
    std::vector<Slot> larger(size);
    size_t mask = size - 1;
    for (const Slot& slot : slots_) {
      if (slot.object == nullptr) continue;
      size_t i = slot.hash & mask;
      while (larger[i].object != nullptr) i = (i + 1) & mask;
      larger[i] = slot;
    }
    slots_.swap(larger);
    mask_ = mask;
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace orvo

#endif  // CLASSIFY_ID_INDEX_H_
