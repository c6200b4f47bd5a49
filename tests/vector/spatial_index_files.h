// Test helpers: index files as an index producer writes them.
#ifndef TESTS_VECTOR_SPATIAL_INDEX_FILES_H_
#define TESTS_VECTOR_SPATIAL_INDEX_FILES_H_

#include <cstring>
#include <string>
#include <vector>

#include "base/strings.h"
#include "vector/spatial_index.h"

namespace orvotest {

// A ".bindex" file: 56-byte header (size, signature) and 88-byte entries.
inline std::string BinaryIndexBytes(const std::vector<orvo::TSpatialIndexEx::SI>& entries) {
  std::string bytes(56, '\0');
  bytes.replace(16, 8, "__sdnb__");
  for (const orvo::TSpatialIndexEx::SI& e : entries) {
    bytes.append(reinterpret_cast<const char*>(&e), sizeof e);
  }
  int64_t size = static_cast<int64_t>(bytes.size());
  std::memcpy(&bytes[0], &size, 8);
  return bytes;
}

// The ".index" lines as "%i,%i,%Li,%Li,%-.16g,...,%i" prints them, with CR LF.
inline std::string TextIndexBytes(const std::vector<orvo::TSpatialIndexEx::SI>& entries) {
  std::string text;
  for (const orvo::TSpatialIndexEx::SI& e : entries) {
    text += std::to_string(e.id) + "," + std::to_string(e.kind) + "," +
            std::to_string(e.spatial_position) + "," + std::to_string(e.attribute_position);
    for (double v : {e.bound.minx, e.bound.miny, e.bound.maxx, e.bound.maxy, e.value}) {
      orvo::AppendDouble(text += ",", v);
    }
    for (int32_t v :
         {e.left_face, e.right_face, e.left_edge, e.right_edge, e.start_point, e.end_point}) {
      text += "," + std::to_string(v);
    }
    text += "\r\n";
  }
  return text;
}

// An entry with the given fields, links derived from the id (id + 100 to id + 600).
inline orvo::TSpatialIndexEx::SI IndexEntry(int32_t id, int32_t kind, int64_t spatial,
                                            int64_t attribute) {
  orvo::TSpatialIndexEx::SI e;
  std::memset(&e, 0, sizeof e);
  e.id = id;
  e.kind = kind;
  e.spatial_position = spatial;
  e.attribute_position = attribute;
  e.bound = {id * 1.0, id * 2.0, id * 1.0 + 0.5, id * 2.0 + 0.25};
  e.value = id / 3.0;
  int32_t* links[] = {&e.left_face,  &e.right_face,  &e.left_edge,
                      &e.right_edge, &e.start_point, &e.end_point};
  for (int i = 0; i < 6; ++i) *links[i] = id + 100 * (i + 1);
  return e;
}

}  // namespace orvotest

#endif  // TESTS_VECTOR_SPATIAL_INDEX_FILES_H_
