// The object behind a file handle, shared by files.cc (which creates it) and
// mapping.cc (which maps its bytes), and the hook by which mappings refuse a
// truncation that would pull the file out from under a mapped view.
#ifndef PLATFORM_LINUX_FILE_OBJECT_H_
#define PLATFORM_LINUX_FILE_OBJECT_H_

#include <sys/types.h>

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/linux/handle_table.h"

namespace orvo::linux_api {

class FileObject : public HandleObject {
 public:
  static constexpr ObjectKind kKind = ObjectKind::kFile;

  // Takes ownership of fd, on which the share-mode markers are already held.
  FileObject(int fd, DWORD access, dev_t device, ino_t inode, std::string path);
  // Drops the share-mode markers first: a mapping holding a dup of fd keeps
  // the bytes reachable but, as on Windows, not the handle's share mode.
  ~FileObject() override;

  int fd() const { return fd_; }
  bool can_read() const { return (access_ & GENERIC_READ) != 0; }
  bool can_write() const { return (access_ & GENERIC_WRITE) != 0; }
  dev_t device() const { return device_; }
  ino_t inode() const { return inode_; }
  // Absolute path the file was opened by, for other processes to reach it
  // (named mappings); may be stale after a rename.
  const std::string& path() const { return path_; }

  // Serialises calls that read or move the file pointer, as Windows does for
  // synchronous handles.
  std::mutex& io_mutex() { return io_mutex_; }

 private:
  const int fd_;
  const DWORD access_;
  const dev_t device_;
  const ino_t inode_;
  const std::string path_;
  std::mutex io_mutex_;
};

// True when a view mapped in this process belongs to a mapping of the file
// (device, inode) whose size exceeds new_size: Windows then refuses to cut the
// file with ERROR_USER_MAPPED_FILE (mapping.cc).
bool MappedViewsForbidTruncation(dev_t device, ino_t inode, uint64_t new_size);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_FILE_OBJECT_H_
