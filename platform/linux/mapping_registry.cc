// The registry of named file mappings shared between processes.
#include "platform/linux/mapping_registry.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/linux/last_error.h"
#include "platform/linux/ofd_locks.h"
#include "platform/linux/unload.h"
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

// Where a paging-file mapping's bytes start in its registry file (a multiple of
// the granularity, so view offsets stay page-aligned).
constexpr uint64_t kRegistryDataOffset = 65536;
static_assert(kRegistryDataOffset % kGranularity == 0);
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

struct Names {
  std::mutex mutex;
  std::unordered_map<std::string, std::weak_ptr<Section>> sections;
};

Names& TheNames() {
  static Names* names = KeptUntilUnload(new Names);
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
    directory = KeptUntilUnload(new std::string(path));
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

// Finds a live handle-holding section of the name in this process.
std::shared_ptr<Section> LiveLocalSection(Names& names, const std::string& name) {
  auto it = names.sections.find(name);
  if (it == names.sections.end()) return nullptr;
  std::shared_ptr<Section> section = it->second.lock();
  if (section == nullptr || !section->TryAddHandle()) return nullptr;
  return section;
}

// Makes this process a holder of the name whose registry file fd it has
// gated: takes the "live" lock, releases the gate and hands fd to the
// section, counting the first handle on it.
void HoldName(Section& section, int fd, const std::string& name, const std::string& path) {
  LockByte(fd, F_RDLCK, kRegistryLive, /*wait=*/false);
  Ungate(fd);
  section.SetName(name, path, fd);
  section.AddHandle();
}

// Joins the live mapping recorded in the gated registry file fd: takes a
// "live" lock, releases the gate and hands back the mapping with one more
// handle. When the record is not this name's (or unreadable), sets
// mismatch_error, closes fd and returns null.
std::shared_ptr<Section> JoinLiveRegistry(int fd, const std::string& name, const std::string& path,
                                          DWORD mismatch_error) {
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
  HoldName(*section, fd, name, path);
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
    HoldName(*section, fd, name, path);
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

std::shared_ptr<Section> CreateNamedSection(const char* raw_name, const FreshRequest& fresh,
                                            bool* existed) {
  std::string key;
  if (!NormalizeName(raw_name, &key)) return nullptr;
  Names& names = TheNames();
  std::lock_guard<std::mutex> lock(names.mutex);
  std::shared_ptr<Section> section = LiveLocalSection(names, key);
  if (section != nullptr) {
    *existed = true;
    return section;
  }
  section = CreateNamed(key, fresh, existed);
  if (section != nullptr) names.sections[key] = section;
  return section;
}

std::shared_ptr<Section> OpenNamedSection(const char* raw_name) {
  std::string key;
  if (!NormalizeName(raw_name, &key)) return nullptr;
  Names& names = TheNames();
  std::lock_guard<std::mutex> lock(names.mutex);
  std::shared_ptr<Section> section = LiveLocalSection(names, key);
  if (section != nullptr) return section;
  section = OpenNamed(key);
  if (section != nullptr) names.sections[key] = section;
  return section;
}

}  // namespace orvo::linux_api
