// File mappings: CreateFileMappingA / OpenFileMappingA, views, and
// GetSystemInfo.
#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/linux/file_object.h"
#include "platform/linux/handle_table.h"
#include "platform/linux/last_error.h"
#include "platform/linux/ofd_locks.h"
#include "platform/win32.h"

// Named mappings across processes
// -------------------------------
//
// On Windows a named mapping lives in the kernel's object namespace: any
// process that knows the name opens the same section, the name disappears with
// the last handle, and a process that dies has its handles closed for it. The
// raster code shares caches this way ("crcName[0123abcd]"), with the backing
// file held exclusively by the creator, so openers reach the bytes without
// opening the file through CreateFileA.
//
// Here a name is a small registry file, one per name, in a per-user directory
// on tmpfs (/dev/shm/orvoapi-<uid>/, mode 0700); its file name is derived from
// the mapping name alone (escaped; hashed when long, with the full name kept
// inside to catch collisions). It records the mapping's size and protection
// and where the bytes are: a backing file's absolute path with its device and
// inode (checked on open, so a replaced file is never mistaken for the
// original), or, for a mapping backed by the paging file, the bytes themselves,
// stored in the registry file after a 64 KiB header.
//
// A registry file outlives a crash, so its presence means nothing by itself.
// What means "the name exists" is a lock: every process holding handles to the
// mapping keeps a shared open-file-description lock on the registry's "live"
// byte, which the kernel drops when the process closes the registry or dies.
// Every create, open and release runs under an exclusive lock on the
// registry's "gate" byte:
//   - a creator that finds the live byte held opens the existing mapping and
//     reports ERROR_ALREADY_EXISTS; one that finds a non-empty registry with no
//     live holder has found a dead process's leftovers, unlinks them and starts
//     over with a fresh file (never reusing the inode: views of the old one may
//     still be mapped somewhere);
//   - an opener that finds no live holder unlinks the leftovers and reports
//     ERROR_FILE_NOT_FOUND;
//   - the process whose last handle goes drops its live lock and, when nobody
//     else holds it, unlinks the registry.
// After taking the gate, everyone re-checks that the path still names the
// inode they opened, since the previous gate holder may have unlinked it.
// Within the process, a table from name to section makes every handle share
// one section object; the registry is consulted when no handle to the name is
// open here.
//
// As on Windows, the name lives as long as handles do; views alone keep the
// bytes mapped but not the name.

namespace orvo::linux_api {
namespace {

constexpr uint64_t kGranularity = 65536;
// Where a paging-file mapping's bytes start in its registry file (a multiple of
// the granularity, so view offsets stay page-aligned).
constexpr uint64_t kRegistryDataOffset = 65536;
constexpr size_t kMaxNameLength = 4096;
constexpr size_t kMaxEscapedLength = 160;

constexpr off_t kRegistryGate = kLockRegion + 0;
constexpr off_t kRegistryLive = kLockRegion + 1;

constexpr char kRegistryMagic[8] = {'o', 'r', 'v', 'o', 'm', 'a', 'p', '1'};
constexpr uint32_t kBackingFile = 1;
constexpr uint32_t kBackingRegistry = 2;

struct RegistryHeader {
  char magic[8];
  uint32_t backing;
  uint32_t writable;
  uint64_t size;
  uint64_t device;
  uint64_t inode;
  uint32_t name_length;
  uint32_t path_length;
  // Followed by the name's bytes, then the backing path's bytes.
};

// The bytes of one mapping object, shared by all its handles and views.
class Section {
 public:
  Section(int fd, uint64_t data_offset, uint64_t size, bool writable, bool file_backed,
          dev_t device, ino_t inode)
      : fd_(fd),
        data_offset_(data_offset),
        size_(size),
        writable_(writable),
        file_backed_(file_backed),
        device_(device),
        inode_(inode) {}
  ~Section() {
    if (fd_ >= 0) close(fd_);
    if (registry_fd_ >= 0) close(registry_fd_);
  }
  Section(const Section&) = delete;
  Section& operator=(const Section&) = delete;

  // Makes the section named: registry_fd holds the live lock.
  void SetName(std::string name, std::string registry_path, int registry_fd) {
    name_ = std::move(name);
    registry_path_ = std::move(registry_path);
    registry_fd_ = registry_fd;
    name_alive_ = true;
  }

  int bytes_fd() const { return fd_ >= 0 ? fd_ : registry_fd_; }
  uint64_t data_offset() const { return data_offset_; }
  uint64_t size() const { return size_; }
  bool writable() const { return writable_; }
  bool file_backed() const { return file_backed_; }
  dev_t device() const { return device_; }
  ino_t inode() const { return inode_; }

  void AddHandle() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++handles_;
  }
  // For a further handle to a named section found in this process's table:
  // fails once the last handle has gone and the name is being released.
  bool TryAddHandle() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!name_alive_) return false;
    ++handles_;
    return true;
  }
  void RemoveHandle();

 private:
  void ReleaseName();

  const int fd_;  // -1: the bytes are in the registry file
  const uint64_t data_offset_;
  const uint64_t size_;
  const bool writable_;
  const bool file_backed_;
  const dev_t device_;
  const ino_t inode_;

  std::string name_;
  std::string registry_path_;
  int registry_fd_ = -1;

  std::mutex mutex_;
  int handles_ = 0;
  bool name_alive_ = false;
};

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
};

struct Views {
  std::mutex mutex;
  std::map<uintptr_t, View> by_address;
};

Views& TheViews() {
  static Views* views = new Views;
  return *views;
}

struct Names {
  std::mutex mutex;
  std::unordered_map<std::string, std::weak_ptr<Section>> sections;
};

Names& TheNames() {
  static Names* names = new Names;
  return *names;
}

// --- registry files

// The per-user registry directory, created on first use; empty with the last
// error set when it cannot be had safely.
std::string RegistryDirectory() {
  static std::once_flag once;
  static std::string* directory = nullptr;
  static DWORD failure = ERROR_SUCCESS;
  std::call_once(once, [] {
    struct stat st;
    std::string base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
    std::string path = base + "/orvoapi-" + std::to_string(getuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
      failure = ErrorFromErrno(errno);
      return;
    }
    // Refuse a directory someone else planted for us.
    if (lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
        (st.st_mode & 077) != 0) {
      failure = ERROR_ACCESS_DENIED;
      return;
    }
    directory = new std::string(path);
  });
  if (directory == nullptr) {
    SetLastError(failure);
    return std::string();
  }
  return *directory;
}

uint64_t Fnv1a(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (unsigned char c : text) {
    hash ^= c;
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::string RegistryFileName(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string escaped;
  for (unsigned char c : name) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
        c == '-') {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  if (escaped.size() <= kMaxEscapedLength) return "map-" + escaped;
  char hash[17];
  uint64_t h = Fnv1a(name);
  for (int i = 15; i >= 0; --i, h >>= 4) hash[i] = kHex[h & 15];
  hash[16] = '\0';
  return "map~" + std::string(hash) + "-" + escaped.substr(0, kMaxEscapedLength - 20);
}

// The name as the object namespace sees it: "Local\" and "Global\" select
// namespaces that are one and the same here; any other backslash names a
// directory that does not exist. Returns false with the last error set.
bool NormalizeName(const char* raw, std::string* name) {
  std::string text = raw;
  for (const char* prefix : {"Local\\", "Global\\"}) {
    size_t length = std::strlen(prefix);
    if (text.compare(0, length, prefix) == 0) {
      text.erase(0, length);
      break;
    }
  }
  if (text.find('\\') != std::string::npos) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (text.empty() || text.size() > kMaxNameLength) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  *name = text;
  return true;
}

bool SameInode(int fd, const std::string& path) {
  struct stat opened, named;
  return fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Opens the registry file and takes its gate. Returns the descriptor, or -1
// with errno set (ENOENT: no such name and `create` is false).
int OpenRegistryGated(const std::string& path, bool create) {
  for (;;) {
    int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return -1;
    int error = LockByte(fd, F_WRLCK, kRegistryGate, /*wait=*/true);
    if (error != 0 && error != ENOLCK && error != EINVAL) {
      close(fd);
      errno = error;
      return -1;
    }
    if (SameInode(fd, path)) return fd;
    // The previous gate holder removed it; start over with the current file.
    close(fd);
    if (!create) {
      struct stat st;
      if (lstat(path.c_str(), &st) != 0) return -1;  // errno: ENOENT
    }
  }
}

void Ungate(int fd) { UnlockBytes(fd, kRegistryGate, 1); }

bool WriteAll(int fd, const void* data, size_t length, off_t offset) {
  const char* bytes = static_cast<const char*>(data);
  while (length > 0) {
    ssize_t n = pwrite(fd, bytes, length, offset);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    length -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

bool ReadAll(int fd, void* data, size_t length, off_t offset) {
  char* bytes = static_cast<char*>(data);
  while (length > 0) {
    ssize_t n = pread(fd, bytes, length, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    length -= static_cast<size_t>(n);
    offset += n;
  }
  return true;
}

struct RegistryRecord {
  RegistryHeader header;
  std::string name;
  std::string path;
};

bool ReadRecord(int fd, RegistryRecord* record) {
  struct stat st;
  if (fstat(fd, &st) != 0) return false;
  RegistryHeader& header = record->header;
  if (!ReadAll(fd, &header, sizeof(header), 0)) return false;
  if (std::memcmp(header.magic, kRegistryMagic, sizeof(kRegistryMagic)) != 0) return false;
  if (header.name_length > kMaxNameLength || header.path_length > 4096) return false;
  if (header.backing != kBackingFile && header.backing != kBackingRegistry) return false;
  if (header.size == 0 || header.size > (uint64_t{1} << 62)) return false;
  size_t end = sizeof(header) + header.name_length + header.path_length;
  if (static_cast<uint64_t>(st.st_size) < end) return false;
  if (header.backing == kBackingRegistry &&
      static_cast<uint64_t>(st.st_size) < kRegistryDataOffset + header.size)
    return false;
  record->name.resize(header.name_length);
  record->path.resize(header.path_length);
  return ReadAll(fd, record->name.data(), header.name_length, sizeof(header)) &&
         ReadAll(fd, record->path.data(), header.path_length,
                 static_cast<off_t>(sizeof(header) + header.name_length));
}

bool WriteRecord(int fd, const RegistryRecord& record) {
  std::vector<char> bytes(sizeof(RegistryHeader) + record.name.size() + record.path.size());
  std::memcpy(bytes.data(), &record.header, sizeof(RegistryHeader));
  std::memcpy(bytes.data() + sizeof(RegistryHeader), record.name.data(), record.name.size());
  std::memcpy(bytes.data() + sizeof(RegistryHeader) + record.name.size(), record.path.data(),
              record.path.size());
  return WriteAll(fd, bytes.data(), bytes.size(), 0);
}

// Reserves [offset, offset + length) of fd's file, growing it; falls back to
// a sparse extension where the file system cannot allocate ahead. Reserving
// keeps a later write through a view from dying of SIGBUS on a full disk.
int ReserveBytes(int fd, uint64_t offset, uint64_t length) {
  if (fallocate(fd, 0, static_cast<off_t>(offset), static_cast<off_t>(length)) == 0) return 0;
  if (errno != EOPNOTSUPP && errno != ENOSYS) return errno;
  if (ftruncate(fd, static_cast<off_t>(offset + length)) != 0) return errno;
  return 0;
}

void Section::RemoveHandle() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (--handles_ > 0 || !name_alive_) return;
    name_alive_ = false;
  }
  ReleaseName();
}

void Section::ReleaseName() {
  {
    Names& names = TheNames();
    std::lock_guard<std::mutex> lock(names.mutex);
    auto it = names.sections.find(name_);
    if (it != names.sections.end()) {
      std::shared_ptr<Section> current = it->second.lock();
      if (current == nullptr || current.get() == this) names.sections.erase(it);
    }
  }
  if (registry_fd_ < 0) return;
  bool gated = LockByte(registry_fd_, F_WRLCK, kRegistryGate, /*wait=*/true) == 0;
  UnlockBytes(registry_fd_, kRegistryLive, 1);
  if (gated && !ByteHeldByOthers(registry_fd_, kRegistryLive) &&
      SameInode(registry_fd_, registry_path_))
    unlink(registry_path_.c_str());
  if (gated) Ungate(registry_fd_);
  // The descriptor stays open while views may use the bytes it holds.
}

// --- building sections

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

// A section over an open file, growing the file to `size` when a larger
// read-write mapping is asked for, as Windows does. size 0: the file's size.
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

// An unnamed section backed by memory.
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

// The section another process registered, reached through the record. The
// backing file is opened directly, bypassing share modes: its creator
// typically holds it exclusively, and on Windows the opener never opens the
// file either.
std::shared_ptr<Section> SectionFromRecord(const RegistryRecord& record) {
  const RegistryHeader& header = record.header;
  bool writable = header.writable != 0;
  if (header.backing == kBackingRegistry) {
    return std::make_shared<Section>(-1, kRegistryDataOffset, header.size, writable,
                                     /*file_backed=*/false, 0, 0);
  }
  int fd = open(record.path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NOCTTY);
  if (fd < 0 && writable && (errno == EACCES || errno == EROFS)) {
    writable = false;  // another user's file: this process may only read it
    fd = open(record.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  }
  if (fd < 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || st.st_dev != header.device || st.st_ino != header.inode ||
      static_cast<uint64_t>(st.st_size) < header.size) {
    // Renamed, replaced or cut: not the file the mapping was made over.
    close(fd);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return std::make_shared<Section>(fd, 0, header.size, writable, /*file_backed=*/true, st.st_dev,
                                   st.st_ino);
}

HANDLE NewMappingHandle(std::shared_ptr<Section> section, DWORD access, bool counted) {
  if (!counted) section->AddHandle();
  return InsertHandle(std::make_shared<MappingHandle>(std::move(section), access));
}

// Finds a live handle-holding section of the name in this process.
std::shared_ptr<Section> LiveLocalSection(Names& names, const std::string& name) {
  auto it = names.sections.find(name);
  if (it == names.sections.end()) return nullptr;
  std::shared_ptr<Section> section = it->second.lock();
  if (section == nullptr || !section->TryAddHandle()) return nullptr;
  return section;
}

// What a creator wants when the name is new.
struct FreshRequest {
  std::shared_ptr<FileObject> file;  // null: backed by the paging file
  bool writable;
  uint64_t size;
};

// Joins the live mapping recorded in the gated registry file fd: takes a
// "live" lock, releases the gate and hands back the mapping with one more
// handle. When the record is not this name's (or unreadable), sets
// mismatch_error, closes fd and returns null.
std::shared_ptr<Section> JoinLiveRegistry(int fd, const std::string& name,
                                          const std::string& path, DWORD mismatch_error) {
  RegistryRecord record;
  std::shared_ptr<Section> section;
  if (!ReadRecord(fd, &record) || record.name != name) {
    SetLastError(mismatch_error);
  } else {
    section = SectionFromRecord(record);
  }
  if (section == nullptr) {
    Ungate(fd);
    close(fd);
    return nullptr;
  }
  LockByte(fd, F_RDLCK, kRegistryLive, /*wait=*/false);
  Ungate(fd);
  section->SetName(name, path, fd);
  section->AddHandle();
  return section;
}

// Creates the named mapping or opens the existing one; *existed tells which.
// Returns a counted section or nullptr with the last error set.
std::shared_ptr<Section> CreateNamed(const std::string& name, const FreshRequest& fresh,
                                     bool* existed) {
  std::string directory = RegistryDirectory();
  if (directory.empty()) return nullptr;
  std::string path = directory + "/" + RegistryFileName(name);
  for (int attempt = 0; attempt < 64; ++attempt) {
    int fd = OpenRegistryGated(path, /*create=*/true);
    if (fd < 0) {
      SetLastErrorFromErrno(errno);
      return nullptr;
    }
    if (ByteHeldByOthers(fd, kRegistryLive)) {
      // A registry held under this file name by a different mapping name (a
      // hash collision) or by something not ours: Windows's answer for a name
      // taken by another kind of object.
      std::shared_ptr<Section> section = JoinLiveRegistry(fd, name, path, ERROR_INVALID_HANDLE);
      if (section != nullptr) *existed = true;
      return section;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
      SetLastErrorFromErrno(errno);
      Ungate(fd);
      close(fd);
      return nullptr;
    }
    if (st.st_size != 0) {
      // Left by a process that died with the name: discard it and begin anew
      // with a new inode.
      unlink(path.c_str());
      close(fd);
      continue;
    }
    RegistryRecord record{};
    std::memcpy(record.header.magic, kRegistryMagic, sizeof(kRegistryMagic));
    record.header.writable = fresh.writable ? 1 : 0;
    record.name = name;
    std::shared_ptr<Section> section;
    if (fresh.file != nullptr) {
      section = FileSection(*fresh.file, fresh.writable, fresh.size);
      if (section != nullptr) {
        record.header.backing = kBackingFile;
        record.header.size = section->size();
        record.header.device = section->device();
        record.header.inode = section->inode();
        // The name the file has now (it may have been renamed since it was
        // opened), else the one it was opened by.
        char link[4096];
        std::string proc = "/proc/self/fd/" + std::to_string(fresh.file->fd());
        ssize_t n = readlink(proc.c_str(), link, sizeof(link) - 1);
        record.path = n > 0 && link[0] == '/' ? std::string(link, static_cast<size_t>(n))
                                              : fresh.file->path();
        if (record.path.size() > 4096) record.path.resize(4096);
      }
    } else {
      int error = ReserveBytes(fd, kRegistryDataOffset, fresh.size);
      if (error != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      } else {
        record.header.backing = kBackingRegistry;
        record.header.size = fresh.size;
        section = std::make_shared<Section>(-1, kRegistryDataOffset, fresh.size, fresh.writable,
                                            /*file_backed=*/false, 0, 0);
      }
    }
    if (section != nullptr) {
      record.header.name_length = static_cast<uint32_t>(record.name.size());
      record.header.path_length = static_cast<uint32_t>(record.path.size());
      if (!WriteRecord(fd, record)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        section = nullptr;
      }
    }
    if (section == nullptr) {
      unlink(path.c_str());
      close(fd);
      return nullptr;
    }
    LockByte(fd, F_RDLCK, kRegistryLive, /*wait=*/false);
    Ungate(fd);
    section->SetName(name, path, fd);
    section->AddHandle();
    *existed = false;
    return section;
  }
  SetLastError(ERROR_ACCESS_DENIED);  // the registry kept changing under us
  return nullptr;
}

// Opens the named mapping another handle (here or elsewhere) keeps alive.
std::shared_ptr<Section> OpenNamed(const std::string& name) {
  std::string directory = RegistryDirectory();
  if (directory.empty()) return nullptr;
  std::string path = directory + "/" + RegistryFileName(name);
  int fd = OpenRegistryGated(path, /*create=*/false);
  if (fd < 0) {
    SetLastError(errno == ENOENT ? ERROR_FILE_NOT_FOUND : ErrorFromErrno(errno));
    return nullptr;
  }
  if (!ByteHeldByOthers(fd, kRegistryLive)) {
    // Left by a process that died with the name.
    unlink(path.c_str());
    close(fd);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return JoinLiveRegistry(fd, name, path, ERROR_FILE_NOT_FOUND);
}

}  // namespace

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
  if (!ParseProtection(protect, &protection)) return nullptr;
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

  std::string key;
  if (!NormalizeName(name, &key)) return nullptr;
  bool existed = true;
  std::shared_ptr<Section> section;
  {
    Names& names = TheNames();
    std::lock_guard<std::mutex> lock(names.mutex);
    section = LiveLocalSection(names, key);
    if (section == nullptr) {
      section = CreateNamed(key, fresh, &existed);
      if (section == nullptr) return nullptr;
      names.sections[key] = section;
    }
  }
  // Outside the lock: a handle that cannot be stored releases the name, which
  // takes the lock again.
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
  std::string key;
  if (!NormalizeName(name, &key)) return nullptr;
  std::shared_ptr<Section> section;
  {
    Names& names = TheNames();
    std::lock_guard<std::mutex> lock(names.mutex);
    section = LiveLocalSection(names, key);
    if (section == nullptr) {
      section = OpenNamed(key);
      if (section == nullptr) return nullptr;
      names.sections[key] = section;
    }
  }
  return NewMappingHandle(std::move(section), desired_access, /*counted=*/true);
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD desired_access, DWORD offset_high, DWORD offset_low,
                     SIZE_T bytes_to_map) {
  using namespace orvo::linux_api;
  std::shared_ptr<MappingHandle> handle = LookupHandleAs<MappingHandle>(mapping);
  if (handle == nullptr) return nullptr;
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
  void* address = mmap(nullptr, static_cast<size_t>(length), prot, flags, section->bytes_fd(),
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

namespace orvo::linux_api {
namespace {

// Finds the view containing the address; false when none does.
bool FindView(Views& views, LPCVOID address, uintptr_t* base, View* view) {
  uintptr_t where = reinterpret_cast<uintptr_t>(address);
  auto it = views.by_address.upper_bound(where);
  if (it == views.by_address.begin()) return false;
  --it;
  if (where >= it->first + it->second.length) return false;
  *base = it->first;
  *view = it->second;
  return true;
}

}  // namespace
}  // namespace orvo::linux_api

BOOL UnmapViewOfFile(LPCVOID base_address) {
  using namespace orvo::linux_api;
  Views& views = TheViews();
  uintptr_t base = 0;
  View view{};
  {
    std::lock_guard<std::mutex> lock(views.mutex);
    if (!FindView(views, base_address, &base, &view)) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
    views.by_address.erase(base);
  }
  munmap(reinterpret_cast<void*>(base), view.length);
  return TRUE;  // view.section may be the last reference; it goes here
}

BOOL FlushViewOfFile(LPCVOID base_address, SIZE_T bytes_to_flush) {
  using namespace orvo::linux_api;
  Views& views = TheViews();
  uintptr_t base = 0;
  View view{};
  {
    std::lock_guard<std::mutex> lock(views.mutex);
    if (!FindView(views, base_address, &base, &view)) {
      SetLastError(ERROR_INVALID_ADDRESS);
      return FALSE;
    }
  }
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

void GetSystemInfo(LPSYSTEM_INFO system_info) {
  if (system_info == nullptr) return;
  std::memset(system_info, 0, sizeof(*system_info));
#if defined(__x86_64__)
  system_info->wProcessorArchitecture = 9;  // PROCESSOR_ARCHITECTURE_AMD64
  system_info->dwProcessorType = 8664;      // PROCESSOR_AMD_X8664
#elif defined(__i386__)
  system_info->wProcessorArchitecture = 0;  // PROCESSOR_ARCHITECTURE_INTEL
  system_info->dwProcessorType = 586;       // PROCESSOR_INTEL_PENTIUM
#elif defined(__aarch64__)
  system_info->wProcessorArchitecture = 12;  // PROCESSOR_ARCHITECTURE_ARM64
#else
  system_info->wProcessorArchitecture = 0xFFFF;  // PROCESSOR_ARCHITECTURE_UNKNOWN
#endif
  // 4096 on the machines Windows runs on too; views only need the granularity.
  system_info->dwPageSize = static_cast<DWORD>(sysconf(_SC_PAGESIZE));
  system_info->dwAllocationGranularity = static_cast<DWORD>(orvo::linux_api::kGranularity);
  system_info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t{0x10000});
  system_info->lpMaximumApplicationAddress =
      reinterpret_cast<LPVOID>(sizeof(void*) == 8 ? uintptr_t{0x7FFFFFFEFFFF} : uintptr_t{0x7FFEFFFF});
  unsigned processors = std::thread::hardware_concurrency();
  if (processors == 0) processors = 1;
  system_info->dwNumberOfProcessors = processors;
  unsigned mask_bits = processors < sizeof(DWORD_PTR) * 8 ? processors : sizeof(DWORD_PTR) * 8;
  system_info->dwActiveProcessorMask =
      mask_bits == sizeof(DWORD_PTR) * 8 ? ~DWORD_PTR{0} : (DWORD_PTR{1} << mask_bits) - 1;
  system_info->wProcessorLevel = 6;
}
