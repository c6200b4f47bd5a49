// Address ranges for mapped views. A view that is unmapped leaves its range
// reserved (no access, no memory behind it), and the next view of the same
// length is mapped over that range in place. A reader sliding a window through
// a file unmaps and maps one view of the same length at every move; replacing
// a range in place costs a fraction of unmapping it and mapping anew.
#ifndef PLATFORM_LINUX_VIEW_RANGES_H_
#define PLATFORM_LINUX_VIEW_RANGES_H_

#include <sys/types.h>

#include <cstddef>

namespace orvo::linux_api {

// As mmap(nullptr, length, prot, flags, fd, offset), in a kept range of the
// same length when there is one. MAP_FAILED (and errno) on failure.
void* MapViewRange(size_t length, int prot, int flags, int fd, off_t offset);

// Ends the view at address: its range is kept reserved for a later view, or
// unmapped when enough ranges are kept already.
void UnmapViewRange(void* address, size_t length);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_VIEW_RANGES_H_
