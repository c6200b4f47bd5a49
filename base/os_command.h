// Running an external program and waiting for it.
#ifndef BASE_OS_COMMAND_H_
#define BASE_OS_COMMAND_H_

#include <cstdint>

namespace orvo {

// Starts the command line (the system may modify the buffer) in working_dir
// (null: the caller's), waits until the program ends and returns 0; 1 for a
// null command line; otherwise the system's error code of the failed start.
uint32_t ExecuteOsCommand(char* command_line, const char* working_dir);

}  // namespace orvo

#endif  // BASE_OS_COMMAND_H_
