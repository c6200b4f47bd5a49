// The spatial index of a layer: every object with its file positions, bound
// and node/edge/face links, from a ".bindex" or ".index" file, walked in id
// order.
#ifndef VECTOR_SPATIAL_INDEX_H_
#define VECTOR_SPATIAL_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <map>

#include "orvoapi.h"

namespace orvo {

class TSpatialIndexEx {
 public:
  // One object of the index, in the field order of both index files; in a
  // ".bindex" file each entry is exactly these 88 bytes.
  struct SI {
    int32_t id;
    int32_t kind;
    int64_t spatial_position;    // offset of the record in the spatial file
    int64_t attribute_position;  // offset of the record in the attribute file
    BOUND bound;
    double value;  // carried along, not interpreted
    int32_t left_face;
    int32_t right_face;
    int32_t left_edge;
    int32_t right_edge;
    int32_t start_point;
    int32_t end_point;
  };

  // Longest line of a text index; a longer one is taken in pieces (which do
  // not convert and are skipped).
  static constexpr int32_t kTextLineLength = 1024;

  TSpatialIndexEx();
  virtual ~TSpatialIndexEx();
  TSpatialIndexEx(const TSpatialIndexEx&) = delete;
  TSpatialIndexEx& operator=(const TSpatialIndexEx&) = delete;

  // Replace the entries by those of a binary or text index file. Every
  // failure (missing file, wrong size or signature, no memory) gives false and
  // leaves the index empty. An id given twice keeps its first entry.
  bool LoadBinary(const char* file_name) noexcept;
  bool LoadText(const char* file_name) noexcept;

  // The next Next starts at the first entry.
  void Reset();
  // Moves to the next entry in ascending id order; false past the last.
  bool Next();
  // Moves to the entry of the id; false, cursor unchanged, when there is none.
  bool Find(int32_t id);
  // The entry at the cursor; null before the first Next and past the last.
  const SI* Current() const;

  size_t Count() const { return entries_.size(); }
  // Union of the entry bounds; all 0.0 for an empty index.
  const BOUND& Bound() const { return bound_; }

 private:
  using Map = std::map<int64_t, SI>;

  void Clear();
  void Insert(const SI& entry);
  void LoadBinaryFile(const char* file_name, bool* ok);
  void LoadTextFile(const char* file_name);

  Map entries_;
  BOUND bound_ = {0.0, 0.0, 0.0, 0.0};
  Map::const_iterator cursor_;
  bool at_start_ = true;
};

static_assert(sizeof(TSpatialIndexEx::SI) == 88);
static_assert(offsetof(TSpatialIndexEx::SI, kind) == 4);
static_assert(offsetof(TSpatialIndexEx::SI, spatial_position) == 8);
static_assert(offsetof(TSpatialIndexEx::SI, attribute_position) == 16);
static_assert(offsetof(TSpatialIndexEx::SI, bound) == 24);
static_assert(offsetof(TSpatialIndexEx::SI, value) == 56);
static_assert(offsetof(TSpatialIndexEx::SI, left_face) == 64);
static_assert(offsetof(TSpatialIndexEx::SI, end_point) == 84);

// Parses one text index line ("%i,%i,%Li,%Li,%-.16g,...,%i" as written, read
// by the scanf rules: spaces before each number, ',' exactly between them,
// integers decimal, octal with a leading 0 or hexadecimal after 0x). True
// when the first nine fields convert; link fields after the first one that
// does not convert are 0.
bool ParseIndexLine(const char* line, TSpatialIndexEx::SI* entry);

}  // namespace orvo

#endif  // VECTOR_SPATIAL_INDEX_H_
