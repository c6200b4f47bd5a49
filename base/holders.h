// Owning holders and growable buffers used throughout the library.
#ifndef BASE_HOLDERS_H_
#define BASE_HOLDERS_H_

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace orvo {

// Owner of one heap object, deleted through its virtual destructor when the
// holder is replaced or destroyed.
template <class T>
using TPtr = std::unique_ptr<T>;

// Holder of one interface pointer: calls Release on it once when destroyed or
// replaced. Taking a pointer does not AddRef it; the holder adopts one
// reference (or the fresh object's count of 0).
template <class T>
class TAutoRelease {
 public:
  TAutoRelease() = default;
  explicit TAutoRelease(T* p) : p_(p) {}
  ~TAutoRelease() { Reset(); }
  TAutoRelease(const TAutoRelease&) = delete;
  TAutoRelease& operator=(const TAutoRelease&) = delete;
  TAutoRelease(TAutoRelease&& other) noexcept : p_(other.Detach()) {}
  TAutoRelease& operator=(TAutoRelease&& other) noexcept {
    if (this != &other) Reset(other.Detach());
    return *this;
  }

  void Reset(T* p = nullptr) {
    T* old = p_;
    p_ = p;
    if (old != nullptr) old->Release();
  }
  // Gives up the pointer without releasing it.
  T* Detach() {
    T* p = p_;
    p_ = nullptr;
    return p;
  }
  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// Growable array of plain values. When it must hold n elements beyond its
// capacity, the capacity becomes n * 5 / 4 (integer division, at least n).
template <class T>
class TArray {
  static_assert(std::is_trivially_copyable_v<T>, "TArray holds plain values");

 public:
  TArray() = default;
  ~TArray() { std::free(data_); }
  TArray(const TArray&) = delete;
  TArray& operator=(const TArray&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  T* Data() { return data_; }
  const T* Data() const { return data_; }
  T& operator[](int32_t i) { return data_[i]; }
  const T& operator[](int32_t i) const { return data_[i]; }

  // Makes room for n elements; throws std::bad_alloc when memory runs out.
  void Reserve(int32_t n) {
    if (n <= capacity_) return;
    int64_t grown = static_cast<int64_t>(n) * 5 / 4;
    if (grown < n) grown = n;
    if (grown > INT32_MAX) grown = INT32_MAX;
    void* p = std::realloc(data_, static_cast<size_t>(grown) * sizeof(T));
    if (p == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(p);
    capacity_ = static_cast<int32_t>(grown);
  }
  // Sets the count to n, growing the storage when needed; new elements are
  // left uninitialised.
  void Resize(int32_t n) {
    Reserve(n);
    count_ = n;
  }
  void Add(const T& value) {
    if (count_ == capacity_) Reserve(count_ + 1);
    data_[count_++] = value;
  }
  void Clear() { count_ = 0; }

 private:
  T* data_ = nullptr;
  int32_t count_ = 0;
  int32_t capacity_ = 0;
};

// Growable byte buffer (capacity, length, data); grows by reallocation and
// keeps its contents. The text readers keep their line and number buffers here.
class TBuffer {
 public:
  TBuffer() = default;
  ~TBuffer() { std::free(data_); }
  TBuffer(const TBuffer&) = delete;
  TBuffer& operator=(const TBuffer&) = delete;

  size_t Capacity() const { return capacity_; }
  size_t Length() const { return length_; }
  uint8_t* Data() { return data_; }
  const uint8_t* Data() const { return data_; }
  char* Chars() { return reinterpret_cast<char*>(data_); }

  // Makes room for n bytes; throws std::bad_alloc when memory runs out.
  void Reserve(size_t n) {
    if (n <= capacity_) return;
    size_t grown = n + n / 4;
    void* p = std::realloc(data_, grown);
    if (p == nullptr) throw std::bad_alloc();
    data_ = static_cast<uint8_t*>(p);
    capacity_ = grown;
  }
  void SetLength(size_t n) {
    Reserve(n);
    length_ = n;
  }
  void Append(const void* bytes, size_t n) {
    Reserve(length_ + n);
    if (n != 0) std::memcpy(data_ + length_, bytes, n);
    length_ += n;
  }
  void Clear() { length_ = 0; }

 private:
  uint8_t* data_ = nullptr;
  size_t capacity_ = 0;
  size_t length_ = 0;
};

}  // namespace orvo

#endif  // BASE_HOLDERS_H_
