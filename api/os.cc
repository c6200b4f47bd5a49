// ExecuteOsCommand export. Unguarded; it raises nothing of its own.
#include "base/os_command.h"
#include "orvoapi.h"

extern "C" ORVO_API uint32_t ORVO_CDECL ExecuteOsCommand(char* command_line,
                                                         const char* working_dir) {
  return orvo::ExecuteOsCommand(command_line, working_dir);
}
