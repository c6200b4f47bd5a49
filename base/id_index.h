// Hash index from upper-cased ids to the objects of one classifier collection:
// open addressing with linear probing over a power-of-two table, so that a
// lookup costs one pass over the id (folding and hashing it together) and, in
// the common case, one 32-byte slot that holds the first 16 bytes of its key.
#ifndef BASE_ID_INDEX_H_
#define BASE_ID_INDEX_H_

#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

namespace orvo {

// Keys are views of strings owned elsewhere (the collection's map keys), which
// must outlive their entries. At most half the slots are in use.
template <class T>
class TIdIndex {
 public:
  // The entry of exactly key, or null.
  T* Find(std::string_view key) const { return Lookup<false>(key); }
  // The entry of id with its ASCII letters upper-cased, without a copy.
  T* FindFolding(std::string_view id) const { return Lookup<true>(id); }

  // Adds or replaces the entry of key. Throws std::bad_alloc when the table
  // cannot grow (the index is then unchanged).
  void Insert(std::string_view key, T* object) {
    TPlace place = Place(key);
    if (slots_[place.i].object == nullptr) ++count_;
    Fill(place, key, object);
  }

  // The object of key; when there is none, object becomes the entry of key
  // and is returned. One hash for both steps. Throws as Insert.
  T* Emplace(std::string_view key, T* object) {
    TPlace place = Place(key);
    if (slots_[place.i].object != nullptr) return slots_[place.i].object;
    ++count_;
    Fill(place, key, object);
    return object;
  }

  // Sizes the table for n entries at once.
  void Reserve(size_t n) {
    while (2 * n > slots_.size()) Grow();
  }

  void Erase(std::string_view key) {
    if (slots_.empty()) return;
    TProbe probe = Prepare<false>(key);
    size_t i = probe.hash & mask_;
    for (;; i = (i + 1) & mask_) {
      if (slots_[i].object == nullptr) return;
      if (Matches<false>(i, probe, key)) break;
    }
    // Backward shift: later entries of the run move up when the hole lies
    // between their home slot and where they stand.
    size_t hole = i;
    for (size_t j = (i + 1) & mask_; slots_[j].object != nullptr; j = (j + 1) & mask_) {
      size_t home = slots_[j].tag & mask_;
      if (((j - home) & mask_) >= ((j - hole) & mask_)) {
        slots_[hole] = slots_[j];
        keys_[hole] = keys_[j];
        hole = j;
      }
    }
    slots_[hole] = Slot{};
    keys_[hole] = nullptr;
    --count_;
  }

  void Clear() {
    slots_.clear();
    keys_.clear();
    mask_ = 0;
    count_ = 0;
  }

 private:
  // The low 32 bits of the hash: the home slot (tables stay far below 2^32
  // slots) and a filter before the key bytes are compared.
  struct alignas(32) Slot {
    uint32_t tag = 0;
    uint32_t length = 0;
    T* object = nullptr;  // null: free
    uint64_t head[2] = {0, 0};
  };

  // A key or id prepared for probing: its hash and its first 16 bytes as
  // words, zero-padded.
  struct TProbe {
    uint64_t hash;
    uint64_t head[2];
  };

  // Up to 8 bytes as one word, the same way for stored keys and queries.
  static uint64_t LoadWord(const char* p, size_t n) {
    uint64_t w = 0;
    if (n >= 8) {
      std::memcpy(&w, p, 8);
      return w;
    }
    for (size_t i = 0; i < n; ++i)
      w |= static_cast<uint64_t>(static_cast<uint8_t>(p[i])) << (8 * i);
    return w;
  }

  // Upper-cases the ASCII letters among the 8 bytes of w at once.
  static uint64_t FoldWord(uint64_t w) {
    constexpr uint64_t kOnes = 0x0101010101010101u;
    constexpr uint64_t kHigh = 0x8080808080808080u;
    uint64_t low7 = w & ~kHigh;
    uint64_t from_a = low7 + kOnes * (0x80 - 'a');   // high bit set where >= 'a'
    uint64_t above_z = low7 + kOnes * (0x7F - 'z');  // high bit set where > 'z'
    uint64_t lower = from_a & ~above_z & ~w & kHigh;
    return w - (lower >> 2);  // 0x80 >> 2 is the case difference 0x20
  }

  template <bool kFold>
  static uint64_t Word(const char* p, size_t n) {
    uint64_t w = LoadWord(p, n);
    return kFold ? FoldWord(w) : w;
  }

  static uint64_t Mix(uint64_t h) {
    h *= 0xBF58476D1CE4E5B9u;
    return h ^ (h >> 31);
  }

  template <bool kFold>
  static TProbe Prepare(std::string_view key) {
    TProbe probe{0x9E3779B97F4A7C15u ^ key.size(), {0, 0}};
    const char* p = key.data();
    for (size_t at = 0; at < key.size(); at += 8) {
      uint64_t w = Word<kFold>(p + at, key.size() - at);
      if (at < 16) probe.head[at / 8] = w;
      probe.hash = Mix(probe.hash ^ w);
    }
    return probe;
  }

  // Whether slot i holds key (folded when kFold); its past 16 bytes are read
  // from the owner's string only when head and length agree.
  template <bool kFold>
  bool Matches(size_t i, const TProbe& probe, std::string_view key) const {
    const Slot& slot = slots_[i];
    if (slot.tag != static_cast<uint32_t>(probe.hash) || slot.length != key.size() ||
        slot.head[0] != probe.head[0] || slot.head[1] != probe.head[1]) {
      return false;
    }
    const char* stored = keys_[i];
    for (size_t at = 16; at < key.size(); at += 8) {
      size_t n = key.size() - at;
      if (LoadWord(stored + at, n) != Word<kFold>(key.data() + at, n)) return false;
    }
    return true;
  }

  struct TPlace {
    size_t i;
    TProbe probe;
  };

  // The slot of key, or the free slot that ends its probe run, with room made
  // for one more entry.
  TPlace Place(std::string_view key) {
    if (key.size() > UINT32_MAX) throw std::bad_alloc();
    if (2 * (count_ + 1) > slots_.size()) Grow();
    TProbe probe = Prepare<false>(key);
    size_t i = probe.hash & mask_;
    while (slots_[i].object != nullptr && !Matches<false>(i, probe, key)) i = (i + 1) & mask_;
    return TPlace{i, probe};
  }

  void Fill(const TPlace& place, std::string_view key, T* object) {
    slots_[place.i] = Slot{static_cast<uint32_t>(place.probe.hash),
                           static_cast<uint32_t>(key.size()),
                           object,
                           {place.probe.head[0], place.probe.head[1]}};
    keys_[place.i] = key.data();
  }

  template <bool kFold>
  T* Lookup(std::string_view key) const {
    if (slots_.empty()) return nullptr;
    TProbe probe = Prepare<kFold>(key);
    for (size_t i = probe.hash & mask_;; i = (i + 1) & mask_) {
      if (slots_[i].object == nullptr) return nullptr;
      if (Matches<kFold>(i, probe, key)) return slots_[i].object;
    }
  }

  void Grow() {
    size_t size = slots_.empty() ? 16 : 2 * slots_.size();
    std::vector<Slot> larger(size);
    std::vector<const char*> larger_keys(size, nullptr);
    size_t mask = size - 1;
    for (size_t k = 0; k < slots_.size(); ++k) {
      if (slots_[k].object == nullptr) continue;
      size_t i = slots_[k].tag & mask;
      while (larger[i].object != nullptr) i = (i + 1) & mask;
      larger[i] = slots_[k];
      larger_keys[i] = keys_[k];
    }
    slots_.swap(larger);
    keys_.swap(larger_keys);
    mask_ = mask;
  }

  std::vector<Slot> slots_;
  // Per slot, the key's text: read only for keys longer than 16 bytes.
  std::vector<const char*> keys_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

}  // namespace orvo

#endif  // BASE_ID_INDEX_H_
