// The tile list of a terrain set: one record a line, "id, x1, y1, x2, y2,
// file name[, second name]" with the corners of the tile's rectangle in
// degrees (any two opposite corners).
#ifndef TAWS_MAP_DATABASE_H_
#define TAWS_MAP_DATABASE_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvoapi.h"

namespace orvo {

struct TBoundEx {
  BOUND bound;  // corners ordered: minimum <= maximum on each axis
  int32_t id = 0;
  std::string file_name;
  std::string second_name;  // empty when the record gives none
};

// One line of a list as a record; nothing when it does not begin with the
// five numbers ("%i, %f, %f, %f, %f", read as the C runtime would in the "C"
// locale, coordinates as 32-bit floats) followed by a file name field.
std::optional<TBoundEx> ParseTileRecord(std::string_view line);

class TMapDatabase {
 public:
  // Reads the list; false when it cannot be opened. Lines end with CR LF, LF
  // or CR; lines of more than 1023 characters are read in pieces of 1023, as
  // a 1024-byte line buffer would. Once more than 100 lines are read without
  // a record among them, the file is taken for something else and reading
  // stops.
  bool Load(const char* list_name);

  int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
  const TBoundEx& Entry(int32_t i) const { return entries_[static_cast<size_t>(i)]; }
  // The entry's file name; a name without folder part lies in the list's folder.
  std::string FilePath(int32_t i) const;
  const std::string& ListPath() const { return path_; }

 private:
  std::string path_;
  std::vector<TBoundEx> entries_;
};

}  // namespace orvo

#endif  // TAWS_MAP_DATABASE_H_
