// The orvo subcommands, one file each (cmd_NAME.cc), and the dispatcher.
#ifndef TOOLS_ORVO_COMMANDS_H_
#define TOOLS_ORVO_COMMANDS_H_

#include <cstdio>

#include "tools/orvo/command.h"

namespace orvotool {

extern const Command kDemoCommand;
extern const Command kImportHgtCommand;
extern const Command kInfoCommand;
extern const Command kDumpCommand;
extern const Command kConvertCommand;
extern const Command kCheckCommand;
extern const Command kDemCommand;
extern const Command kPixelCommand;
extern const Command kPreviewsCommand;
#ifdef ORVO_HAVE_PNG
extern const Command kLabelCommand;
extern const Command kRenderCommand;
#endif

// Runs `orvo ARGS...` (argv[0] is the program): the named command, or the
// overview for --help (exit 0) and for a missing or unknown command (exit 2).
int RunOrvo(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace orvotool

#endif  // TOOLS_ORVO_COMMANDS_H_
