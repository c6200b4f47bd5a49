// Starting a program and waiting for it to end.
#include "base/os_command.h"

#include "platform/win32.h"

namespace orvo {

uint32_t ExecuteOsCommand(char* command_line, const char* working_dir) {
  if (command_line == nullptr) return 1;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(/*application_name=*/nullptr, command_line,
                      /*process_attributes=*/nullptr, /*thread_attributes=*/nullptr,
                      /*inherit_handles=*/FALSE, /*creation_flags=*/0,
                      /*environment=*/nullptr, working_dir, &startup, &process))
    return GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return 0;
}

}  // namespace orvo
