// The process's handle table: HANDLE values are small multiples of four made
// into pointers (never 0 and never INVALID_HANDLE_VALUE), each naming one
// reference-counted object of a known kind. Lookups hand out shared
// references, so an object in use by one thread survives another thread's
// CloseHandle until that use ends, as a Windows kernel object does.
#ifndef PLATFORM_LINUX_HANDLE_TABLE_H_
#define PLATFORM_LINUX_HANDLE_TABLE_H_

#include <memory>

#include "platform/win32.h"

namespace orvo::linux_api {

enum class ObjectKind { kFile, kMapping, kProcess, kThread, kFind };

class HandleObject {
 public:
  explicit HandleObject(ObjectKind kind) : kind_(kind) {}
  virtual ~HandleObject() = default;
  HandleObject(const HandleObject&) = delete;
  HandleObject& operator=(const HandleObject&) = delete;

  ObjectKind kind() const { return kind_; }

 private:
  const ObjectKind kind_;
};

// Stores the object under a fresh handle. Returns nullptr with the last error
// set when the table is full.
HANDLE InsertHandle(std::shared_ptr<HandleObject> object);

// The object named by the handle, of any kind; nullptr with
// ERROR_INVALID_HANDLE when the handle names nothing.
std::shared_ptr<HandleObject> LookupAnyHandle(HANDLE handle);

// The object named by the handle if it is of the kind; nullptr with
// ERROR_INVALID_HANDLE otherwise.
std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, ObjectKind kind);

template <typename T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
  return std::static_pointer_cast<T>(LookupHandle(handle, T::kKind));
}

// Removes the handle when it names an object for which `find_handles` is
// true exactly for find handles (FindClose) and false for the others
// (CloseHandle). Returns the object, whose last reference the caller drops
// outside the table's lock; nullptr with ERROR_INVALID_HANDLE otherwise.
std::shared_ptr<HandleObject> RemoveHandle(HANDLE handle, bool find_handles);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_HANDLE_TABLE_H_
