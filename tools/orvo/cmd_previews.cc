// `orvo previews RASTER`: the reduced copies a raster view reads at strong
// reductions.
#include <string>

#include "tools/orvo/commands.h"
#include "tools/orvo/progress.h"
#include "tools/orvo/raster_previews.h"

namespace orvotool {

namespace {

int RunPreviews(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 1, 1);
  const std::string& path = args.operands[0];
  Progress progress(io.out, WantsProgress(args, io), 1);
  PreviewPlan plan;
  try {
    plan = BuildPreviews(path, [&progress](int64_t done, int64_t total) {
      progress.SetTotal(total);
      progress.Advance(done);
    });
  } catch (...) {
    progress.Abandon();
    throw;
  }
  progress.Done();
  for (const PreviewLevel& level : plan.levels)
    std::fprintf(io.out, "%s: %d x %d, factor %d\n", level.path.c_str(), level.width, level.height,
                 level.factor);
  if (plan.levels.empty() && plan.unreadable_factor == 0)
    std::fprintf(io.out, "%s: fits in one tile; no previews needed\n", path.c_str());
  if (plan.unreadable_factor != 0)
    std::fprintf(io.out, "%s: no factor-%d preview: a view would read its size as another factor\n",
                 path.c_str(), plan.unreadable_factor);
  return 0;
}

}  // namespace

const Command kPreviewsCommand = {
    "previews",
    "builds the reduced previews a raster view reads",
    "usage: orvo previews RASTER\n"
    "  writes the previews of RASTER beside it, STEM.r2, STEM.r4, STEM.r8, ...:\n"
    "  each holds every F-th pixel of every F-th row (RASTER's width and height\n"
    "  divided by F), up to the first that fits in one of RASTER's tiles. A view\n"
    "  of RASTER (OpenRasterView, orvo render) then reads a reduction by F or a\n"
    "  multiple of it from the preview, with the same pixels. Earlier previews\n"
    "  of this naming that RASTER no longer needs are removed. Progress is shown\n"
    "  on a terminal or with --progress.\n",
    {},
    RunPreviews};

}  // namespace orvotool
