// Byte locks owned by an open file description (F_OFD_SETLK and friends):
// they conflict between two descriptions of one file even inside a single
// process, stay with the description through dup(), and vanish when its last
// descriptor (or memory mapping) goes away, also when the process dies. The
// share modes of share_locks.cc and the name registry of mapping_registry.cc
// are built on them; share_locks.cc explains why POSIX record locks cannot
// serve.
#ifndef PLATFORM_LINUX_OFD_LOCKS_H_
#define PLATFORM_LINUX_OFD_LOCKS_H_

#include <sys/types.h>

namespace orvo::linux_api {

// Lock bytes lie here and above, far past any data a file holds, so they
// never interfere with byte-range locks a program takes on real data.
static_assert(sizeof(off_t) == 8, "lock bytes need 64-bit file offsets");
constexpr off_t kLockRegion = off_t{1} << 62;

// Takes a shared (F_RDLCK) or exclusive (F_WRLCK) lock on one byte, or drops
// it (F_UNLCK). With `wait`, blocks until the lock is granted. Returns 0 or
// an errno value (EAGAIN: held by another description; EBADF: the
// description's access mode does not allow that lock type).
int LockByte(int fd, short type, off_t offset, bool wait);

// Drops this description's locks on [offset, offset + length).
void UnlockBytes(int fd, off_t offset, off_t length);

// Whether a description other than fd's holds any lock on the byte. Fails
// open: a file system without lock support reports nothing held.
bool ByteHeldByOthers(int fd, off_t offset);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_OFD_LOCKS_H_
