// `orvo import-hgt OUTDIR FILE.hgt...`: SRTM height files into terrain tiles.
#ifndef TOOLS_ORVO_IMPORT_HGT_H_
#define TOOLS_ORVO_IMPORT_HGT_H_

#include <cstdio>

namespace orvotool {

// The name of the tile list import-hgt writes in OUTDIR.
extern const char kTileListName[];  // "tawslist.txt"

// args are the command's arguments (after "import-hgt"). Exit codes: 0 done
// (or --help), 1 a file that cannot be imported (one line on err naming it;
// nothing is left half-written), 2 bad usage. Progress goes to out when it
// is a terminal or with --progress.
int RunImportHgt(int argc, const char* const* args, std::FILE* out, std::FILE* err);

}  // namespace orvotool

#endif  // TOOLS_ORVO_IMPORT_HGT_H_
