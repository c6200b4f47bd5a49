// orvo: a host program for orvoapi. `orvo demo` shows the library at work.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/orvo/demo.h"
#include "tools/orvo/import_hgt.h"
#include "tools/orvo/library.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: orvo demo [--library PATH] [--dir WORK_DIR]\n"
               "       orvo import-hgt [--progress] OUTDIR FILE.hgt...\n"
               "  demo         loads orvoapi and walks through its services\n"
               "  import-hgt   turns SRTM .hgt files into terrain tiles (--help)\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "import-hgt") == 0)
    return orvotool::RunImportHgt(argc - 2, argv + 2, stdout, stderr);
  if (argc < 2 || std::strcmp(argv[1], "demo") != 0) return Usage();
  std::string library_path = orvotool::DefaultLibraryPath(argv[0]);
  std::string work_dir = std::filesystem::temp_directory_path().string();
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--library") == 0 && i + 1 < argc)
      library_path = argv[++i];
    else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc)
      work_dir = argv[++i];
    else
      return Usage();
  }
  orvotool::HostLibrary library;
  if (!library.Open(library_path)) {
    std::fprintf(stderr, "orvo: %s\n", library.Error().c_str());
    return 1;
  }
  std::printf("loaded %s\n", library.Path().c_str());
  try {
    return orvotool::RunDemo(library, work_dir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "orvo: %s\n", e.what());
    return 1;
  }
}
