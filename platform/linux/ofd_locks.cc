// Open-file-description byte locks.
#include "platform/linux/ofd_locks.h"

#include <errno.h>
#include <fcntl.h>

namespace orvo::linux_api {
namespace {

struct flock Range(short type, off_t offset, off_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = length;
  lock.l_pid = 0;  // required for F_OFD_* commands
  return lock;
}

}  // namespace

int LockByte(int fd, short type, off_t offset, bool wait) {
  struct flock lock = Range(type, offset, 1);
  for (;;) {
    if (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0) return 0;
    if (errno != EINTR) return errno;
  }
}

void UnlockBytes(int fd, off_t offset, off_t length) {
  struct flock lock = Range(F_UNLCK, offset, length);
  while (fcntl(fd, F_OFD_SETLK, &lock) != 0 && errno == EINTR) {
  }
}

bool ByteHeldByOthers(int fd, off_t offset) {
  // Asking for an exclusive lock reports any lock, shared or not, of another
  // description; this description's own locks never conflict with it.
  struct flock probe = Range(F_WRLCK, offset, 1);
  for (;;) {
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0) return probe.l_type != F_UNLCK;
    if (errno != EINTR) return false;
  }
}

}  // namespace orvo::linux_api
