// The one seam between the library and the operating system: the subset of
// the Windows API the library uses. On Windows it is <windows.h> itself; on
// Linux the same names and types are our own implementation (platform/linux/),
// which gives the same observable behaviour and the same GetLastError codes for
// everything the library relies on. No other file outside platform/ includes an
// OS header.
#ifndef PLATFORM_WIN32_H_
#define PLATFORM_WIN32_H_

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "platform/linux/win32_api.h"
#endif

#endif  // PLATFORM_WIN32_H_
