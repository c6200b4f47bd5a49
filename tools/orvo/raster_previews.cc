// Building the previews of a raster through the exports, as a host would.
#include "tools/orvo/raster_previews.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "orvoapi.h"
#include "tools/orvo/command.h"

namespace orvotool {

namespace {

namespace fs = std::filesystem;

// Releases one interface reference when it goes.
template <class T>
class Held {
 public:
  explicit Held(T* object = nullptr) : object_(object) {}
  ~Held() { Reset(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  T* get() const { return object_; }
  T* operator->() const { return object_; }
  void Reset(T* object = nullptr) {
    if (object_ != nullptr) object_->Release();
    object_ = object;
  }

 private:
  T* object_;
};

// A name outside the raster's stem (a view searches STEM.*), in the same
// folder so that the rename stays within one file system.
std::string TempPath(const std::string& preview) {
  const fs::path p(preview);
  return (p.parent_path() / ("~" + p.filename().string() + ".tmp")).string();
}

// Removes the temporary files unless the work was completed.
struct TempFiles {
  std::vector<std::string> paths;
  bool keep = false;
  ~TempFiles() {
    if (keep) return;
    std::error_code ec;
    for (const std::string& p : paths) fs::remove(p, ec);
  }
};

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

// Rows of one strip: a tile row of the preview, fewer for very wide ones so
// that the buffer stays near 64 MB.
int32_t StripRows(int32_t width, int32_t pixel_size, int32_t tile_height) {
  const int64_t row_bytes = int64_t{width} * pixel_size;
  const int64_t rows = std::max<int64_t>(1, (int64_t{64} << 20) / row_bytes);
  return static_cast<int32_t>(std::min<int64_t>(tile_height, rows));
}

}  // namespace

std::string PreviewPath(const std::string& path, int32_t factor) {
  return fs::path(path).replace_extension(".r" + std::to_string(factor)).string();
}

PreviewPlan PlanPreviews(const std::string& path, int32_t width, int32_t height, int32_t tile_width,
                         int32_t tile_height) {
  PreviewPlan plan;
  if (width < 1 || height < 1 || (width <= tile_width && height <= tile_height)) return plan;
  for (int64_t f = 2; f <= (int64_t{1} << 30); f *= 2) {
    const int64_t w = width / f, h = height / f;
    if (w < 1 || h < 1) break;
    if (width / w != f || height / h != f) {
      plan.unreadable_factor = static_cast<int32_t>(f);
      break;
    }
    plan.levels.push_back({static_cast<int32_t>(f), static_cast<int32_t>(w),
                           static_cast<int32_t>(h), PreviewPath(path, static_cast<int32_t>(f))});
    if (w <= tile_width && h <= tile_height) break;
  }
  return plan;
}

PreviewPlan BuildPreviews(const std::string& path,
                          const std::function<void(int64_t, int64_t)>& progress) {
  Held<IRaster> raster(OpenRaster(path.c_str(), 64, true));
  if (raster.get() == nullptr) {
    std::error_code ec;
    throw InputError{path, fs::exists(path, ec) ? "is no raster" : "no such file"};
  }
  const int32_t width = raster->GetWidth(), height = raster->GetHeight();
  const int32_t pixel_size = raster->GetPixelSize();
  {
    // A view of the stem shows its widest raster: previews belong to that one.
    Held<IRasterView> view(OpenRasterView(path.c_str()));
    if (view.get() == nullptr || view->GetWidth() != width || view->GetHeight() != height)
      throw InputError{path, "a wider raster of its name is beside it (is this a preview?)"};
  }
  PreviewPlan plan =
      PlanPreviews(path, width, height, raster->GetTileWidth(), raster->GetTileHeight());
  int64_t total = 0;
  for (const PreviewLevel& level : plan.levels) {
    if (SameFile(level.path, path))
      throw InputError{path, "is named as its own factor-" + std::to_string(level.factor) +
                                 " preview would be; rename it"};
    total += level.height;
  }

  TempFiles temps;
  Held<IRaster> previous;  // the level before, read-only, once written
  int64_t done = 0;
  progress(0, total);
  for (size_t k = 0; k < plan.levels.size(); ++k) {
    const PreviewLevel& level = plan.levels[k];
    const std::string temp = TempPath(level.path);
    std::error_code ec;
    fs::remove(temp, ec);  // left by an interrupted run
    const int32_t tile_width = std::min(raster->GetTileWidth(), level.width);
    const int32_t tile_height = std::min(raster->GetTileHeight(), level.height);
    if (!CreateRaster(temp.c_str(), level.width, level.height, tile_width, tile_height, pixel_size,
                      0))
      throw InputError{level.path, "can't be created"};
    temps.paths.push_back(temp);
    IRaster* source = previous.get() != nullptr ? previous.get() : raster.get();
    const std::string& source_path = k > 0 ? plan.levels[k - 1].path : path;
    {
      Held<IRaster> target(OpenRaster(temp.c_str(), 64, false));
      if (target.get() == nullptr) throw InputError{level.path, "can't be written"};
      const int32_t rows = StripRows(level.width, pixel_size, tile_height);
      std::vector<uint8_t> strip(static_cast<size_t>(level.width) * rows * pixel_size);
      for (int32_t y = 0; y < level.height; y += rows) {
        const int32_t n = std::min(rows, level.height - y);
        // What a view shows where the raster has no tile: no height for
        // 2-byte pixels, zero bytes otherwise.
        if (pixel_size == 2) {
          const uint8_t no_height[2] = {9999 & 0xFF, 9999 >> 8};
          for (size_t i = 0; i < strip.size(); i += 2)
            std::copy(no_height, no_height + 2, strip.begin() + static_cast<ptrdiff_t>(i));
        } else {
          std::fill(strip.begin(), strip.end(), uint8_t{0});
        }
        if (!RasterDownScale(strip.data(), level.width, n, source, 0, 2 * y, -2))
          throw InputError{source_path, "can't be read"};
        if (!target->SetPixelBlock(0, y, level.width, n, strip.data()))
          throw InputError{level.path, "can't be written"};
        done += n;
        progress(done, total);
      }
    }
    previous.Reset(OpenRaster(temp.c_str(), 64, true));
    if (previous.get() == nullptr) throw InputError{level.path, "can't be read back"};
  }
  // Windows renames no open file.
  previous.Reset();
  raster.Reset();
  for (size_t i = 0; i < plan.levels.size(); ++i) {
    std::error_code ec;
    fs::rename(temps.paths[i], plan.levels[i].path, ec);
    if (ec) throw InputError{plan.levels[i].path, "can't be written: " + ec.message()};
  }
  temps.keep = true;
  // Previews of an earlier run that this raster no longer has.
  for (int64_t f = 2; f <= (int64_t{1} << 30); f *= 2) {
    const bool planned = std::any_of(plan.levels.begin(), plan.levels.end(),
                                     [f](const PreviewLevel& l) { return l.factor == f; });
    const std::string stale = PreviewPath(path, static_cast<int32_t>(f));
    std::error_code ec;
    if (!planned && !SameFile(stale, path) && IsRaster(stale.c_str())) fs::remove(stale, ec);
  }
  return plan;
}

}  // namespace orvotool
