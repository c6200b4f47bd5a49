// Vector test helpers: little-endian bytes and short walks over readers.
#ifndef TESTS_VECTOR_VECTOR_TEST_UTIL_H_
#define TESTS_VECTOR_VECTOR_TEST_UTIL_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace orvotest {

// Little-endian byte builder (the hosts are little-endian).
struct Bytes {
  std::string s;
  Bytes& I32(int32_t v) { return Raw(&v, 4); }
  Bytes& I64(int64_t v) { return Raw(&v, 8); }
  Bytes& F64(double v) { return Raw(&v, 8); }
  // The text with its terminating NUL.
  Bytes& Z(const char* text) { return Raw(text, std::strlen(text) + 1); }
  Bytes& Raw(const void* p, size_t n) {
    s.append(static_cast<const char*>(p), n);
    return *this;
  }
};

inline void Patch32(std::string& bytes, size_t at, int32_t value) {
  std::memcpy(&bytes[at], &value, 4);
}
inline void Patch64(std::string& bytes, size_t at, int64_t value) {
  std::memcpy(&bytes[at], &value, 8);
}

// The id of the next record, or -1 at the end.
template <class Reader>
int32_t NextId(Reader& r) {
  return r.ReadNext() ? r.GetId() : -1;
}
// The id of the record at position, or -1 when there is none.
template <class Reader>
int32_t IdAt(Reader& r, int64_t position) {
  return r.SetPosition(position) ? r.GetId() : -1;
}
// The ids of the records still to read.
template <class Reader>
std::vector<int32_t> RestIds(Reader& r) {
  std::vector<int32_t> ids;
  while (r.ReadNext() && ids.size() < 100000) ids.push_back(r.GetId());
  return ids;
}

}  // namespace orvotest

#endif  // TESTS_VECTOR_VECTOR_TEST_UTIL_H_
