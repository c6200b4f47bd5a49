// `orvo demo`: loads the library at run time and walks through its services.
#include <filesystem>
#include <string>

#include "tools/orvo/commands.h"
#include "tools/orvo/demo.h"
#include "tools/orvo/library.h"

namespace orvotool {

namespace {

int RunDemoCommand(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 0, 0);
  const std::string library_path = args.Value("--library", DefaultLibraryPath(io.program));
  const std::string work_dir = args.Value("--dir", std::filesystem::temp_directory_path().string());
  HostLibrary library;
  if (!library.Open(library_path)) {
    std::fprintf(io.err, "orvo: %s\n", library.Error().c_str());
    return 1;
  }
  std::fprintf(io.out, "loaded %s\n", library.Path().c_str());
  std::fflush(io.out);
  return RunDemo(library, work_dir);
}

}  // namespace

const Command kDemoCommand = {
    "demo",
    "loads orvoapi and walks through its services",
    "usage: orvo demo [--library PATH] [--dir WORK_DIR]\n"
    "  loads the library (beside the program, or ORVO_LIBRARY, or PATH) at run\n"
    "  time as a host does, and walks through its services in a scratch folder\n"
    "  under WORK_DIR (the temporary folder by default). Exit 0 when every step\n"
    "  did what it should, 1 when one did not.\n",
    {{"--library", true}, {"--dir", true}},
    RunDemoCommand};

}  // namespace orvotool
