// Ordered string-keyed integer index for host programs (SI family).
#ifndef INDEX_STRING_INDEX_H_
#define INDEX_STRING_INDEX_H_

#include <cstdint>
#include <map>
#include <string>

namespace orvo {

// Keys are compared byte-wise as unsigned bytes, case-sensitive; a key that
// is a prefix of another sorts first. Each key occurs once.
class TStringIndex {
 public:
  TStringIndex() = default;
  virtual ~TStringIndex() = default;
  TStringIndex(const TStringIndex&) = delete;
  TStringIndex& operator=(const TStringIndex&) = delete;

  // Adds (key, value) when the key is absent; an existing key keeps its value
  // and the result is false.
  bool Insert(const char* key, int32_t value);
  // Stores the key's value in *value and returns true; leaves *value alone and
  // returns false when the key is absent.
  bool Find(const char* key, int32_t* value) const;
  int32_t Count() const { return static_cast<int32_t>(map_.size()); }
  void Delete(const char* key) { map_.erase(key); }
  void Clear() { map_.clear(); }

 private:
  // std::string compares with char_traits<char>, which orders as unsigned char.
  std::map<std::string, int32_t, std::less<>> map_;
};

}  // namespace orvo

#endif  // INDEX_STRING_INDEX_H_
