// Selection: a set of object ids that can be saved to and merged from a small
// text file.
#ifndef VECTOR_SELECTION_H_
#define VECTOR_SELECTION_H_

#include <cstdint>
#include <set>

namespace orvo {

// Messages of the selection.
extern const char kCantWriteSelection[];  // "can't write selection"

// Selection file: one id a line in ascending order, "%i" followed by CR LF on
// every platform. Reading takes from each line the first token delimited by
// any of ".,;\n\r\t" and converts it by the atoi rule (leading white space,
// optional sign, digits; no digits give 0; values beyond 32 bits saturate);
// further tokens of the line and lines without a token are ignored.
class TSelection {
 public:
  TSelection();
  virtual ~TSelection();
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

  // True when the id was not yet present.
  bool Add(int32_t id) { return ids_.insert(id).second; }
  // True when the id was present.
  bool Erase(int32_t id) { return ids_.erase(id) != 0; }
  bool Find(int32_t id) const { return ids_.count(id) != 0; }
  void Clear() { ids_.clear(); }
  int32_t Count() const { return static_cast<int32_t>(ids_.size()); }
  const std::set<int32_t>& Ids() const { return ids_; }

  // Writes the file, replacing it. Raises "can't write selection" when it
  // cannot be written completely (a partial file is removed).
  void Save(const char* file_name) const;
  // Adds the ids of the file to the set (the set is not cleared). Raises
  // "can't open file"; the set is unchanged unless the whole file was read.
  void Load(const char* file_name);

 private:
  std::set<int32_t> ids_;
};

}  // namespace orvo

#endif  // VECTOR_SELECTION_H_
