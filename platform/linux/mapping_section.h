// The section behind file-mapping handles: the bytes of one mapping object,
// shared by all its handles and views. mapping.cc builds sections over files
// and memory and maps their views; mapping_registry.cc gives them names that
// other processes can open.
#ifndef PLATFORM_LINUX_MAPPING_SECTION_H_
#define PLATFORM_LINUX_MAPPING_SECTION_H_

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/linux/file_object.h"

namespace orvo::linux_api {

// Windows's allocation granularity: views start at multiples of it.
constexpr uint64_t kGranularity = 65536;

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
  // Drops a handle; the last one releases the name (ReleaseName).
  void RemoveHandle();

 private:
  // Removes the name from this process's table and gives up this process's
  // hold on it in the registry (mapping_registry.cc).
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

// A section over an open file, growing the file to `size` when a larger
// read-write mapping is asked for, as Windows does. size 0: the file's size.
// nullptr with the last error set on failure.
std::shared_ptr<Section> FileSection(const FileObject& file, bool writable, uint64_t size);

// An unnamed section backed by memory; nullptr with the last error set.
std::shared_ptr<Section> MemorySection(bool writable, uint64_t size);

// Reserves [offset, offset + length) of fd's file, growing it; falls back to
// a sparse extension where the file system cannot allocate ahead. Reserving
// keeps a later write through a view from dying of SIGBUS on a full disk.
// Returns 0 or an errno value.
int ReserveBytes(int fd, uint64_t offset, uint64_t length);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_MAPPING_SECTION_H_
