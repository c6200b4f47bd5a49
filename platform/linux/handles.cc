// The handle table and CloseHandle.
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/linux/handle_table.h"
#include "platform/linux/unload.h"
#include "platform/win32.h"

namespace orvo::linux_api {
namespace {

// Values step by four like Windows handles and are not reused until the
// counter wraps, so a stale handle is almost always reported as invalid rather
// than silently naming a newer object. They stay below 2^30 so hosts that keep
// handles in 32-bit integers lose nothing.
constexpr uintptr_t kHandleStep = 4;
constexpr uintptr_t kFirstHandle = 4;
constexpr uintptr_t kLastHandle = (uintptr_t{1} << 30) - kHandleStep;
constexpr size_t kMaxHandles = size_t{1} << 24;

struct Table {
  std::mutex mutex;
  std::unordered_map<uintptr_t, std::shared_ptr<HandleObject>> objects;
  uintptr_t next = kFirstHandle;
};

Table& TheTable() {
  // Kept until unload: handles may be closed by static destructors of the host.
  static Table* table = KeptUntilUnload(new Table);
  return *table;
}

uintptr_t Key(HANDLE handle) { return reinterpret_cast<uintptr_t>(handle); }

}  // namespace

HANDLE InsertHandle(std::shared_ptr<HandleObject> object) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  if (table.objects.size() >= kMaxHandles) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  for (;;) {
    uintptr_t value = table.next;
    table.next = value >= kLastHandle ? kFirstHandle : value + kHandleStep;
    // try_emplace leaves `object` alone when the value is still in use.
    if (table.objects.try_emplace(value, std::move(object)).second)
      return reinterpret_cast<HANDLE>(value);
  }
}

std::shared_ptr<HandleObject> LookupAnyHandle(HANDLE handle) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.objects.find(Key(handle));
  if (it == table.objects.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second;
}

std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, ObjectKind kind) {
  std::shared_ptr<HandleObject> object = LookupAnyHandle(handle);
  if (object != nullptr && object->kind() != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return object;
}

std::shared_ptr<HandleObject> RemoveHandle(HANDLE handle, bool find_handles) {
  Table& table = TheTable();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto it = table.objects.find(Key(handle));
  if (it == table.objects.end() || (it->second->kind() == ObjectKind::kFind) != find_handles) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  std::shared_ptr<HandleObject> object = std::move(it->second);
  table.objects.erase(it);
  return object;
}

}  // namespace orvo::linux_api

BOOL CloseHandle(HANDLE handle) {
  // INVALID_HANDLE_VALUE doubles as the current-process pseudo-handle, whose
  // closing Windows accepts and ignores.
  if (handle == INVALID_HANDLE_VALUE) return TRUE;
  std::shared_ptr<orvo::linux_api::HandleObject> object =
      orvo::linux_api::RemoveHandle(handle, /*find_handles=*/false);
  if (object == nullptr) return FALSE;
  object.reset();  // runs the destructor outside the table's lock
  return TRUE;
}
