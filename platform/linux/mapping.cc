// File mappings: CreateFileMappingA / OpenFileMappingA over files and memory,
// and the views MapViewOfFile makes of them. Names shared with other
// processes are the registry's business (mapping_registry.cc).
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/linux/fault_injection.h"
#include "platform/linux/file_object.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/last_error.h"
#include "platform/linux/mapping_registry.h"
#include "platform/linux/mapping_section.h"
#include "platform/linux/unload.h"
#include "platform/linux/view_ranges.h"
#include "platform/win32.h"

namespace orvo::linux_api {
namespace {

class MappingHandle : public HandleObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::kMapping;
  // The caller has counted the handle on the section.
  MappingHandle(std::shared_ptr<Section> section, DWORD access)
      : HandleObject(kKind), section_(std::move(section)), access_(access) {}
  ~MappingHandle() override { section_->RemoveHandle(); }

  const std::shared_ptr<Section>& section() const { return section_; }
  DWORD access() const { return access_; }

 private:
  const std::shared_ptr<Section> section_;
  const DWORD access_;
};

struct View {
  size_t length;
  std::shared_ptr<Section> section;
  bool heap = false;  // a copy in a heap block (ORVO_HEAP_VIEWS), not a mapping
};

struct Views {
  std::mutex mutex;
  std::map<uintptr_t, View> by_address;
};

Views& TheViews() {
  static Views* views = KeptUntilUnload(new Views);
  return *views;
}

struct Protection {
  bool writable;
};

bool ParseProtection(DWORD protect, Protection* out) {
  if (protect == PAGE_READONLY) {
    out->writable = false;
    return true;
  }
  if (protect == PAGE_READWRITE) {
    out->writable = true;
    return true;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

HANDLE NewMappingHandle(std::shared_ptr<Section> section, DWORD access, bool counted) {
  if (!counted) section->AddHandle();
  return InsertHandle(std::make_shared<MappingHandle>(std::move(section), access));
}

// Finds the view containing the address and, with `remove`, forgets it.
// Returns false with ERROR_INVALID_ADDRESS when no view contains it.
bool FindView(LPCVOID address, bool remove, uintptr_t* base, View* view) {
  Views& views = TheViews();
  std::lock_guard<std::mutex> lock(views.mutex);
  uintptr_t where = reinterpret_cast<uintptr_t>(address);
  auto it = views.by_address.upper_bound(where);
  if (it != views.by_address.begin()) {
    --it;
    if (where < it->first + it->second.length) {
      *base = it->first;
      *view = it->second;
      if (remove) views.by_address.erase(it);
      return true;
    }
  }
  SetLastError(ERROR_INVALID_ADDRESS);
  return false;
}

#ifdef ORVO_HEAP_VIEWS
// The fuzzing build's read-only views: the bytes copied into a heap block of
// exactly the view's length, so that AddressSanitizer catches a read past the
// end of a file, which a mapping would hide up to the end of its last page.
// Such a view does not see later writes through other views.
void* HeapView(const Section& section, uint64_t offset, size_t length) {
  char* block = static_cast<char*>(std::malloc(length));
  if (block == nullptr) return nullptr;
  size_t done = 0;
  while (done < length) {
    ssize_t n = pread(section.bytes_fd(), block + done, length - done,
                      static_cast<off_t>(section.data_offset() + offset + done));
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      // Past the end of a file that shrank: a mapping would raise SIGBUS.
      std::memset(block + done, 0, length - done);
      break;
    }
    done += static_cast<size_t>(n);
  }
  return block;
}
#endif

}  // namespace

void Section::RemoveHandle() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (--handles_ > 0 || !name_alive_) return;
    name_alive_ = false;
  }
  ReleaseName();
}

std::shared_ptr<Section> FileSection(const FileObject& file, bool writable, uint64_t size) {
  if (!file.can_read() || (writable && !file.can_write())) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  struct stat st;
  if (fstat(file.fd(), &st) != 0) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  uint64_t file_size = static_cast<uint64_t>(st.st_size);
  if (size == 0) {
    if (file_size == 0) {
      SetLastError(ERROR_FILE_INVALID);
      return nullptr;
    }
    size = file_size;
  }
  if (size > file_size) {
    if (!writable) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    if (size > static_cast<uint64_t>(INT64_MAX)) {
      SetLastError(ERROR_DISK_FULL);
      return nullptr;
    }
    int error = ReserveBytes(file.fd(), file_size, size - file_size);
    if (error != 0) {
      SetLastError(error == ENOSPC || error == EFBIG ? ERROR_DISK_FULL : ErrorFromErrno(error));
      return nullptr;
    }
  }
  // A dup shares the description; the file handle drops its share markers
  // from it when it closes, so the mapping keeps the bytes, not the share mode.
  int fd = fcntl(file.fd(), F_DUPFD_CLOEXEC, 0);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  return std::make_shared<Section>(fd, 0, size, writable, /*file_backed=*/true, st.st_dev,
                                   st.st_ino);
}

std::shared_ptr<Section> MemorySection(bool writable, uint64_t size) {
  int fd = memfd_create("orvoapi-mapping", MFD_CLOEXEC);
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return nullptr;
  }
  if (size > static_cast<uint64_t>(INT64_MAX) || ftruncate(fd, static_cast<off_t>(size)) != 0) {
    close(fd);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return std::make_shared<Section>(fd, 0, size, writable, /*file_backed=*/false, 0, 0);
}

int ReserveBytes(int fd, uint64_t offset, uint64_t length) {
  if (fallocate(fd, 0, static_cast<off_t>(offset), static_cast<off_t>(length)) == 0) return 0;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return errno;
  if (ftruncate(fd, static_cast<off_t>(offset + length)) != 0) return errno;
  return 0;
}

bool MappedViewsForbidTruncation(dev_t device, ino_t inode, uint64_t new_size) {
  Views& views = TheViews();
  std::lock_guard<std::mutex> lock(views.mutex);
  for (const auto& [address, view] : views.by_address) {
    const Section& section = *view.section;
    if (section.file_backed() && section.device() == device && section.inode() == inode &&
        new_size < section.size())
      return true;
  }
  return false;
}

}  // namespace orvo::linux_api

HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES /*security*/, DWORD protect,
                          DWORD maximum_size_high, DWORD maximum_size_low, LPCSTR name) {
  using namespace orvo::linux_api;
  Protection protection;
  if (!ParseProtection(protect, &protection) || InjectFault(FaultKind::kMapping)) return nullptr;
  uint64_t size = (static_cast<uint64_t>(maximum_size_high) << 32) | maximum_size_low;
  FreshRequest fresh;
  fresh.writable = protection.writable;
  fresh.size = size;
  if (file != INVALID_HANDLE_VALUE) {
    fresh.file = LookupHandleAs<FileObject>(file);
    if (fresh.file == nullptr) return nullptr;
  } else if (size == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }

  if (name == nullptr || name[0] == '\0') {
    std::shared_ptr<Section> section = fresh.file != nullptr
                                           ? FileSection(*fresh.file, fresh.writable, size)
                                           : MemorySection(fresh.writable, size);
    if (section == nullptr) return nullptr;
    HANDLE handle = NewMappingHandle(std::move(section), FILE_MAP_ALL_ACCESS, /*counted=*/false);
    if (handle != nullptr) SetLastError(ERROR_SUCCESS);
    return handle;
  }

  bool existed = true;
  std::shared_ptr<Section> section = CreateNamedSection(name, fresh, &existed);
  if (section == nullptr) return nullptr;
  // Outside the registry's lock: a handle that cannot be stored releases the
  // name, which takes the lock again.
  HANDLE handle = NewMappingHandle(std::move(section), FILE_MAP_ALL_ACCESS, /*counted=*/true);
  if (handle != nullptr) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

HANDLE OpenFileMappingA(DWORD desired_access, BOOL /*inherit_handle*/, LPCSTR name) {
  using namespace orvo::linux_api;
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (name[0] == '\0') {
    // The empty name is the namespace directory itself, not a mapping.
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  std::shared_ptr<Section> section = OpenNamedSection(name);
  if (section == nullptr) return nullptr;
  return NewMappingHandle(std::move(section), desired_access, /*counted=*/true);
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD desired_access, DWORD offset_high, DWORD offset_low,
                     SIZE_T bytes_to_map) {
  using namespace orvo::linux_api;
  std::shared_ptr<MappingHandle> handle = LookupHandleAs<MappingHandle>(mapping);
  if (handle == nullptr || InjectFault(FaultKind::kView)) return nullptr;
  const std::shared_ptr<Section>& section = handle->section();
  uint64_t offset = (static_cast<uint64_t>(offset_high) << 32) | offset_low;
  if (offset % kGranularity != 0) {
    SetLastError(ERROR_MAPPED_ALIGNMENT);
    return nullptr;
  }
  int prot;
  int flags = MAP_SHARED;
  DWORD needed;
  if (desired_access == FILE_MAP_COPY) {
    prot = PROT_READ | PROT_WRITE;
    flags = MAP_PRIVATE;
    needed = FILE_MAP_READ;
  } else if (desired_access & FILE_MAP_WRITE) {
    if (!section->writable()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return nullptr;
    }
    prot = PROT_READ | PROT_WRITE;
    needed = FILE_MAP_WRITE;
  } else if (desired_access & FILE_MAP_READ) {
    prot = PROT_READ;
    needed = FILE_MAP_READ;
  } else {
    prot = PROT_NONE;  // a reserved view with no access, as Windows allows
    needed = 0;
  }
  if ((handle->access() & needed) != needed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (offset >= section->size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  uint64_t available = section->size() - offset;
  uint64_t length = bytes_to_map == 0 ? available : static_cast<uint64_t>(bytes_to_map);
  if (length > available) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  if (length > SIZE_MAX) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
#ifdef ORVO_HEAP_VIEWS
  if (prot == PROT_READ) {
    void* copy = HeapView(*section, offset, static_cast<size_t>(length));
    if (copy == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    Views& views = TheViews();
    std::lock_guard<std::mutex> lock(views.mutex);
    views.by_address[reinterpret_cast<uintptr_t>(copy)] =
        View{static_cast<size_t>(length), section, /*heap=*/true};
    return copy;
  }
#endif
  void* address = MapViewRange(static_cast<size_t>(length), prot, flags, section->bytes_fd(),
                               static_cast<off_t>(section->data_offset() + offset));
  if (address == MAP_FAILED) {
    SetLastError(errno == ENOMEM || errno == EOVERFLOW ? ERROR_NOT_ENOUGH_MEMORY
                                                       : ErrorFromErrno(errno));
    return nullptr;
  }
  Views& views = TheViews();
  std::lock_guard<std::mutex> lock(views.mutex);
  views.by_address[reinterpret_cast<uintptr_t>(address)] =
      View{static_cast<size_t>(length), section};
  return address;
}

BOOL UnmapViewOfFile(LPCVOID base_address) {
  using namespace orvo::linux_api;
  uintptr_t base = 0;
  View view{};
  if (!FindView(base_address, /*remove=*/true, &base, &view)) return FALSE;
  if (view.heap) {
    std::free(reinterpret_cast<void*>(base));
    return TRUE;
  }
  UnmapViewRange(reinterpret_cast<void*>(base), view.length);
  return TRUE;  // view.section may be the last reference; it goes here
}

BOOL FlushViewOfFile(LPCVOID base_address, SIZE_T bytes_to_flush) {
  using namespace orvo::linux_api;
  uintptr_t base = 0;
  View view{};
  if (!FindView(base_address, /*remove=*/false, &base, &view)) return FALSE;
  if (view.heap) return TRUE;  // read-only: nothing to write
  uintptr_t start = reinterpret_cast<uintptr_t>(base_address);
  uintptr_t end = base + view.length;
  if (bytes_to_flush != 0 && bytes_to_flush < end - start) end = start + bytes_to_flush;
  uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  start -= (start - base) % page;  // views start on a page
  // Windows starts writing the dirty pages and returns without waiting for the
  // disk. MS_ASYNC is the closest: the page cache already makes the bytes
  // visible to every opener, and waiting here (MS_SYNC) made every writer stall
  // on the disk each time its window moved.
  if (msync(reinterpret_cast<void*>(start), end - start, MS_ASYNC) != 0) {
    SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}
