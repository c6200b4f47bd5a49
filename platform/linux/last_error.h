// Last-error translation and path spelling shared by the Linux services.
#ifndef PLATFORM_LINUX_LAST_ERROR_H_
#define PLATFORM_LINUX_LAST_ERROR_H_

#include <string>

#include "platform/win32.h"

namespace orvo::linux_api {

// The Windows error code for an errno value. `path`, when given, is the path
// the failing call was about: ENOENT becomes ERROR_PATH_NOT_FOUND instead of
// ERROR_FILE_NOT_FOUND when a directory leading to it is missing, as Windows
// tells the two apart.
DWORD ErrorFromErrno(int error, const std::string* path = nullptr);

// SetLastError(ErrorFromErrno(error, path)).
void SetLastErrorFromErrno(int error, const std::string* path = nullptr);

// The path as the Linux kernel spells it: both '\' and '/' separate
// components, as on Windows, so a backslash cannot be part of a file name
// through this layer.
std::string NativePath(const char* path);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_LAST_ERROR_H_
