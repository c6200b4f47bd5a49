// Reference counting shared by every interface implementation.
#ifndef BASE_API_OBJECT_H_
#define BASE_API_OBJECT_H_

#include <atomic>
#include <cstdint>
#include <cstring>

#include "orvoapi.h"

namespace orvo {

// Implements the two IApiObject slots of interface I. The count starts at 0:
// the export that makes an object does not AddRef it, so one Release destroys
// a fresh object (the count falls below 1). Counts are plain integers: an
// object is used by one thread at a time. The virtual destructor comes after
// the interface's slots and is called only from inside the library.
template <class I>
class TApiObject : public I {
 public:
  int32_t ORVO_STDCALL AddRef() override { return ++refs_; }
  int32_t ORVO_STDCALL Release() override {
    if (--refs_ < 1) {
      delete this;
      return 0;
    }
    return refs_;
  }
  virtual ~TApiObject() = default;

 protected:
  TApiObject() = default;
  TApiObject(const TApiObject&) = delete;
  TApiObject& operator=(const TApiObject&) = delete;

 private:
  int32_t refs_ = 0;
};

// The object of the library's final class T behind interface pointer p, or
// null when p is another implementation (a host's own object, say). An
// interface pointer points at its vtable pointer, and all objects of one
// final class share one vtable: comparing that first word tells the class
// without RTTI, which a host's object need not carry. T's constructors call
// Note(this). Hot paths use it to call the library's own classes directly.
template <class T, class I>
class TOwnClass {
 public:
  static void Note(const I* self) noexcept {
    vtable_.store(VtableOf(self), std::memory_order_relaxed);
  }
  static T* Of(I* p) noexcept {
    if (p == nullptr) return nullptr;
    const void* vtable = VtableOf(p);
    return vtable == vtable_.load(std::memory_order_relaxed) ? static_cast<T*>(p) : nullptr;
  }

 private:
  static const void* VtableOf(const I* p) noexcept {
    const void* vtable;
    std::memcpy(&vtable, static_cast<const void*>(p), sizeof(vtable));
    return vtable;
  }
  static inline std::atomic<const void*> vtable_{nullptr};
};

}  // namespace orvo

#endif  // BASE_API_OBJECT_H_
