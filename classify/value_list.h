// The allowed values of an attribute with their annotations.
#ifndef CLASSIFY_VALUE_LIST_H_
#define CLASSIFY_VALUE_LIST_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orvo {

// Values and annotations are kept back to back in one text, so that a list
// costs a few allocations rather than two per value. Replaced and erased
// texts stay behind until they outweigh the rest, then the text is packed.
class TValueList {
 public:
  size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  // Valid until the next change; i must be below Count().
  std::string_view Value(size_t i) const {
    return std::string_view(text_.data() + entries_[i].at, entries_[i].value_size);
  }
  std::string_view Anno(size_t i) const {
    const TEntry& e = entries_[i];
    return std::string_view(text_.data() + e.at + e.value_size, e.anno_size);
  }

  // Room for n entries and text_bytes of their texts.
  void Reserve(size_t n, size_t text_bytes);
  void Add(std::string_view value, std::string_view anno);
  // Replaces entry i; value and anno may be views of this list.
  void Set(size_t i, std::string_view value, std::string_view anno);
  void Erase(size_t i);
  // Keeps, in order, the entries whose value keep accepts.
  template <class Keep>
  void Filter(Keep keep) {
    size_t kept = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (keep(Value(i))) {
        entries_[kept++] = entries_[i];
      } else {
        unused_ += entries_[i].value_size + entries_[i].anno_size;
      }
    }
    entries_.resize(kept);
    PackIfSparse();
  }
  void Clear();

 private:
  struct TEntry {
    size_t at;  // of the value; the annotation follows it
    size_t value_size;
    size_t anno_size;
  };

  void PackIfSparse();

  std::string text_;
  std::vector<TEntry> entries_;
  size_t unused_ = 0;  // bytes of text_ no entry refers to
};

}  // namespace orvo

#endif  // CLASSIFY_VALUE_LIST_H_
