// Allowed values and annotations kept in one text.
#include "classify/value_list.h"

namespace orvo {

void TValueList::Reserve(size_t n, size_t text_bytes) {
  entries_.reserve(n);
  text_.reserve(text_bytes);
}

void TValueList::Add(std::string_view value, std::string_view anno) {
  size_t at = text_.size();
  entries_.push_back(TEntry{at, value.size(), anno.size()});
  try {
    text_.append(value).append(anno);
  } catch (...) {
    text_.resize(at);
    entries_.pop_back();
    throw;
  }
}

void TValueList::Set(size_t i, std::string_view value, std::string_view anno) {
  // Joined apart first: the views may point into text_, which appending moves.
  std::string joined;
  joined.reserve(value.size() + anno.size());
  joined.append(value).append(anno);
  size_t at = text_.size();
  text_.append(joined);
  unused_ += entries_[i].value_size + entries_[i].anno_size;
  entries_[i] = TEntry{at, value.size(), anno.size()};
  PackIfSparse();
}

void TValueList::Erase(size_t i) {
  unused_ += entries_[i].value_size + entries_[i].anno_size;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i));
  PackIfSparse();
}

void TValueList::Clear() {
  text_.clear();
  entries_.clear();
  unused_ = 0;
}

void TValueList::PackIfSparse() {
  if (unused_ <= text_.size() / 2) return;
  std::string packed;
  packed.reserve(text_.size() - unused_);
  for (const TEntry& e : entries_) packed.append(text_, e.at, e.value_size + e.anno_size);
  // Offsets change only once the packed text is complete.
  size_t at = 0;
  for (TEntry& e : entries_) {
    e.at = at;
    at += e.value_size + e.anno_size;
  }
  text_.swap(packed);
  unused_ = 0;
}

}  // namespace orvo
