// Ordered unsigned 64-bit-keyed integer index for host programs (II64 family).
#ifndef INDEX_INT64_INDEX_H_
#define INDEX_INT64_INDEX_H_

#include <cstdint>
#include <map>

namespace orvo {

// Keys ordered as unsigned numbers; each key occurs once. Same rules as
// TStringIndex.
class TInt64Index {
 public:
  TInt64Index() = default;
  virtual ~TInt64Index() = default;
  TInt64Index(const TInt64Index&) = delete;
  TInt64Index& operator=(const TInt64Index&) = delete;

  bool Insert(uint64_t key, int32_t value) { return map_.emplace(key, value).second; }
  bool Find(uint64_t key, int32_t* value) const;
  int32_t Count() const { return static_cast<int32_t>(map_.size()); }
  void Delete(uint64_t key) { map_.erase(key); }
  void Clear() { map_.clear(); }

 private:
  std::map<uint64_t, int32_t> map_;
};

}  // namespace orvo

#endif  // INDEX_INT64_INDEX_H_
