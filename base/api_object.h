// Reference counting shared by every interface implementation.
#ifndef BASE_API_OBJECT_H_
#define BASE_API_OBJECT_H_

#include <cstdint>

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

}  // namespace orvo

#endif  // BASE_API_OBJECT_H_
