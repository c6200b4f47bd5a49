// The previews of a raster: reduced copies that a raster view finds beside it
// and reads instead of the raster at strong reductions.
//
// The preview of factor F is STEM.rF (dem.raster -> dem.r2, dem.r4, ...), a
// raster of the same pixel size, W / F by H / F pixels (whole division), whose
// pixel (x, y) is the raster's pixel (x * F, y * F): the pixel a reduction by
// F samples, so a view shows the same pixels from a preview as from the
// raster. A view takes a narrower raster of the stem as a preview of factor
// W / w when that equals H / h; the levels are 2, 4, 8, ... up to the first
// that fits in one of the raster's tiles, and end early where a size no
// longer gives its factor back that way.
#ifndef TOOLS_ORVO_RASTER_PREVIEWS_H_
#define TOOLS_ORVO_RASTER_PREVIEWS_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvotool {

struct PreviewLevel {
  int32_t factor = 0;
  int32_t width = 0, height = 0;
  std::string path;  // STEM.rF beside the raster
};

struct PreviewPlan {
  std::vector<PreviewLevel> levels;
  // The factor after the last level when it was left out because a view
  // would read its size as another factor; 0 otherwise.
  int32_t unreadable_factor = 0;
};

// The levels for a raster of that size and tiling at path.
PreviewPlan PlanPreviews(const std::string& path, int32_t width, int32_t height, int32_t tile_width,
                         int32_t tile_height);

// The file of factor f beside path: the path with its extension replaced by
// ".r" and f.
std::string PreviewPath(const std::string& path, int32_t factor);

// Writes the planned previews of the raster at path through the library's
// exports, each level sampled from the one before. Every file is written
// under a name outside the raster's stem ("~STEM.rF.tmp", so that no view
// takes a half-made preview) and all are renamed only when every one is
// complete; previews of the stem under this naming that the plan no longer
// has are then removed. progress(rows done, rows in all) follows the work.
// Throws InputError naming the file that could not be read or written; a
// failure before the renames leaves nothing new behind.
PreviewPlan BuildPreviews(const std::string& path,
                          const std::function<void(int64_t, int64_t)>& progress);

}  // namespace orvotool

#endif  // TOOLS_ORVO_RASTER_PREVIEWS_H_
