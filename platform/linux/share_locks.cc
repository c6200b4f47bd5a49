// Share modes: the lock protocol behind CreateFileA's and DeleteFileA's
// sharing checks.
#include "platform/linux/share_locks.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/types.h>

#include "platform/linux/ofd_locks.h"

// Share modes on Linux
// --------------------
//
// Windows decides at every open whether the new handle may coexist with the
// handles already open on the file: the new handle's access must be allowed by
// every existing handle's share mode, and every existing handle's access must
// be allowed by the new share mode. A failed check is ERROR_SHARING_VIOLATION,
// whether the other handle lives in the same process or another one. The map
// code relies on it: a writer opens exclusively so nobody reads a half-written
// file, and a second instance of a host must not clobber the first one's
// files.
//
// Linux has no such check, so we build it from advisory byte locks. The
// obvious tool, POSIX record locks (F_SETLK), cannot carry it. They belong to
// the (process, inode) pair, not to an open file: two descriptors of one file
// in one process never conflict, so a second CreateFileA in the same process
// would sail through an exclusive open; and closing *any* descriptor of the
// file drops *all* of the process's locks on it, so closing one handle would
// silently release the share mode of every other handle on that file. (This is
// the trap SQLite documents at length; it has to keep a process-wide table of
// inodes to work around it.) flock() is per open file description, but it
// knows only "shared" and "exclusive" for the whole file, not the six
// independent conditions a share mode is made of.
//
// Open-file-description locks (F_OFD_SETLK, Linux 3.15) have what we need: a
// lock belongs to the open file description that took it. Every CreateFileA
// opens a new description, so two handles conflict exactly as two processes
// would, a dup() shares its description's locks, and the kernel removes the
// locks when the description's last reference goes, including when the
// process crashes; no lock file, no cleanup, no stale state.
//
// Each handle announces itself with shared locks on single "marker" bytes far
// beyond any real data (kLockRegion, 2^62): one byte for each kind of access
// it holds (read, write, delete) and one for each kind of sharing it denies.
// Shared locks coexist, so any number of handles can hold the same marker.
// A new opener asks the kernel (F_OFD_GETLK with an exclusive probe) whether
// any other description holds the markers that conflict with its request: a
// reader probes "denies read", a handle not sharing writes probes "has write",
// and so on. The probe ignores the prober's own description.
//
// The check and the taking of markers must be atomic, or two conflicting
// openers could both pass. Openers take their markers first and probe after:
// of two racing openers the later prober always sees the earlier one's
// markers, so two conflicting handles can never both succeed. To keep such a
// race from failing both (each seeing the other), a writable opener first takes
// an exclusive lock on a "gate" byte, held only for the check, which orders
// writable openers; and an opener that saw a conflict withdraws its markers
// and probes once more before failing, retrying when the conflicting markers
// have gone (they belonged to a racing opener that backed off).
//
// The cost: one open() plus a handful of fcntl() calls per CreateFileA, no
// extra descriptors and no files. The limits: the locks are advisory, so only
// openers going through this layer see them; a file system without lock
// support (some FUSE mounts) opens without share checks; a description opened
// write-only (a file we may write but not read) cannot hold the shared
// markers, so it sees other handles but is not seen by them; and the gate
// needs a writable description, so two read-only openers that race with
// conflicting share modes rely on the withdraw-and-retry step alone.

namespace orvo::linux_api {
namespace {

// Lock bytes, counted from kLockRegion.
enum Marker : off_t {
  kGate = 0,
  kHasRead = 1,
  kHasWrite = 2,
  kHasDelete = 3,
  kDeniesRead = 4,
  kDeniesWrite = 5,
  kDeniesDelete = 6,
  kMarkerCount = 7,
};

constexpr int kShareAttempts = 8;

off_t At(Marker marker) { return kLockRegion + marker; }

void TakeMarkers(int fd, const ShareRequest& request) {
  // Errors are ignored on purpose: a write-only description (EBADF) or a file
  // system without locks simply announces nothing.
  auto take = [fd](Marker marker) { LockByte(fd, F_RDLCK, At(marker), /*wait=*/false); };
  if (request.read) take(kHasRead);
  if (request.write) take(kHasWrite);
  if (request.del) take(kHasDelete);
  if (!(request.share & FILE_SHARE_READ)) take(kDeniesRead);
  if (!(request.share & FILE_SHARE_WRITE)) take(kDeniesWrite);
  if (!(request.share & FILE_SHARE_DELETE)) take(kDeniesDelete);
}

void DropMarkers(int fd) { UnlockBytes(fd, At(kHasRead), kMarkerCount - kHasRead); }

bool Conflicts(int fd, const ShareRequest& request) {
  auto held = [fd](Marker marker) { return ByteHeldByOthers(fd, At(marker)); };
  return (request.read && held(kDeniesRead)) || (request.write && held(kDeniesWrite)) ||
         (request.del && held(kDeniesDelete)) ||
         (!(request.share & FILE_SHARE_READ) && held(kHasRead)) ||
         (!(request.share & FILE_SHARE_WRITE) && held(kHasWrite)) ||
         (!(request.share & FILE_SHARE_DELETE) && held(kHasDelete));
}

}  // namespace

DWORD AcquireShareMode(int fd, bool writable, const ShareRequest& request) {
  // Windows ignores the share mode of a handle without read, write or delete
  // access, and checks nothing for it.
  if (!request.any_access()) return ERROR_SUCCESS;
  for (int attempt = 1;; ++attempt) {
    bool gated = writable && LockByte(fd, F_WRLCK, At(kGate), /*wait=*/true) == 0;
    TakeMarkers(fd, request);
    if (!Conflicts(fd, request)) {
      if (gated) UnlockBytes(fd, At(kGate), 1);
      return ERROR_SUCCESS;
    }
    DropMarkers(fd);
    // Still there with our markers withdrawn: a real holder, not a racing
    // opener that saw us and is about to back off.
    bool held = Conflicts(fd, request);
    if (gated) UnlockBytes(fd, At(kGate), 1);
    if (held || attempt >= kShareAttempts) return ERROR_SHARING_VIOLATION;
    sched_yield();
  }
}

void ReleaseShareMode(int fd) { UnlockBytes(fd, kLockRegion, kMarkerCount); }

}  // namespace orvo::linux_api
