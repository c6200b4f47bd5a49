// Windows share modes for files opened through this layer, built on
// open-file-description byte locks (share_locks.cc explains the protocol).
#ifndef PLATFORM_LINUX_SHARE_LOCKS_H_
#define PLATFORM_LINUX_SHARE_LOCKS_H_

#include "platform/win32.h"

namespace orvo::linux_api {

constexpr DWORD kAllShareModes = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What a new handle wants: its kinds of access and the sharing it allows.
struct ShareRequest {
  bool read = false;
  bool write = false;
  bool del = false;
  DWORD share = 0;
  bool any_access() const { return read || write || del; }
};

// Checks the request against every other handle on the file and, when it
// fits, leaves the request's markers on fd's description. `writable`: fd's
// description was opened for writing. Returns ERROR_SUCCESS or
// ERROR_SHARING_VIOLATION.
DWORD AcquireShareMode(int fd, bool writable, const ShareRequest& request);

// Drops every share-mode lock of fd's description, before the handle that
// took them closes: a mapping may hold a dup of fd (the same description,
// hence the same locks) beyond the handle's life.
void ReleaseShareMode(int fd);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_SHARE_LOCKS_H_
