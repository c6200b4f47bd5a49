// The table of subcommands and `orvo --help`.
#include "tools/orvo/commands.h"

#include <cstring>
#include <string>

namespace orvotool {

namespace {

const Command* const kCommands[] = {
    &kInfoCommand,  &kDumpCommand,      &kConvertCommand,  &kCheckCommand, &kDemCommand,
    &kPixelCommand, &kImportHgtCommand, &kPreviewsCommand, &kDemoCommand,
#ifdef ORVO_HAVE_PNG
    &kLabelCommand, &kRenderCommand,
#endif
};

void Overview(std::FILE* f) {
  std::fputs(
      "usage: orvo COMMAND [ARGS...]   (orvo COMMAND --help for each)\n"
      "  exit codes: 0 done, 1 a file that cannot be used, 2 bad usage\n",
      f);
  for (const Command* c : kCommands) std::fprintf(f, "  %-11s %s\n", c->name, c->summary);
}

}  // namespace

int RunOrvo(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
                    std::strcmp(argv[1], "help") == 0)) {
    Overview(out);
    return 0;
  }
  if (argc >= 2) {
    for (const Command* c : kCommands)
      if (std::strcmp(argv[1], c->name) == 0)
        return RunCommand(*c, argc - 2, argv + 2, CommandIo{out, err, argv[0]});
    std::fprintf(err, "orvo: unknown command %s\n", argv[1]);
  }
  Overview(err);
  return 2;
}

}  // namespace orvotool
