// TRasterView: finding previews, choosing the level by zoom, preparing and
// drawing windows.
#include "display/raster_view.h"

#include <map>
#include <string>

#include "base/errors.h"
#include "base/strings.h"
#include "display/scaling.h"
#include "platform/win32.h"
#include "raster/open_raster.h"
#include "raster/raster_file.h"
#include "raster/raster_format.h"
#include "taws/taws_set.h"

namespace mt {
namespace {

// The files of path's stem with any extension, folder included, skipping
// directories, hidden and system files.
std::vector<std::string> StemFiles(const char* path) {
  if (path == nullptr) return {};
  const orvo::PathParts parts = orvo::SplitPath(path);
  const std::string folder = parts.drive + parts.dir;
  const std::string mask = orvo::ChangeExt(path, ".*");
  std::vector<std::string> files;
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA(mask.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return files;
  do {
    constexpr DWORD kSkip =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((data.dwFileAttributes & kSkip) == 0) files.push_back(folder + data.cFileName);
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return files;
}

// The head of a raster file or of a terrain tile set; false for neither.
bool ReadHead(const std::string& file, orvo::RASTERHEAD* head) {
  if (orvo::ReadRasterHeadFile(file.c_str(), head, sizeof *head) >= orvo::kRasterHeadSize)
    return true;
  try {
    orvo::TawsSet set;
    orvo::LoadTawsSet(file.c_str(), &set);
    orvo::FillTawsSetHead(set, reinterpret_cast<uint8_t*>(head));
    return true;
  } catch (...) {
    return false;
  }
}

IRaster* OpenLevel(const std::string& file) {
  IRaster* raster = orvo::OpenRasterOrTileSet(file.c_str(), 10, true);
  if (raster == nullptr) orvo::Raise(orvo::kCantOpenFile);
  return raster;
}

}  // namespace

TRasterView::TRasterView(const char* path) {
  std::map<int32_t, std::string> by_width;  // the first file of each width
  for (const std::string& file : StemFiles(path)) {
    orvo::RASTERHEAD head;
    if (ReadHead(file, &head)) by_width.emplace(static_cast<int32_t>(head.width), file);
  }
  if (by_width.empty()) orvo::Raise(orvo::kCantOpenFile);
  try {
    auto main = by_width.rbegin();
    orvo::RASTERHEAD main_head;
    if (!ReadHead(main->second, &main_head)) orvo::Raise(orvo::kCantOpenFile);
    rasters_.reserve(by_width.size());
    rasters_.push_back(OpenLevel(main->second));
    factors_.push_back(1);
    pixel_size_ = static_cast<int32_t>(main_head.pixel_size);
    for (auto it = std::next(main); it != by_width.rend(); ++it) {
      orvo::RASTERHEAD head;
      // Damaged heads must not divide by zero or overflow the division.
      if (!ReadHead(it->second, &head) || head.width < 1 || head.height < 1 ||
          main_head.width < 1 || main_head.height < 1)
        continue;
      const int64_t fx = main_head.width / head.width, fy = main_head.height / head.height;
      if (static_cast<int32_t>(fx) != static_cast<int32_t>(fy) || fx < 1 || fx > INT32_MAX ||
          head.pixel_size != main_head.pixel_size)
        continue;
      rasters_.push_back(OpenLevel(it->second));
      factors_.push_back(static_cast<int32_t>(fx));
    }
  } catch (...) {
    for (IRaster* r : rasters_) r->Release();
    throw;
  }
}

TRasterView::~TRasterView() {
  for (IRaster* r : rasters_) r->Release();
}

int32_t ORVO_STDCALL TRasterView::GetWidth() { return rasters_[0]->GetWidth(); }
int32_t ORVO_STDCALL TRasterView::GetHeight() { return rasters_[0]->GetHeight(); }

size_t TRasterView::LevelFor(int32_t scale) const {
  if (scale >= 0) return 0;
  const int64_t s = -int64_t{scale};
  for (size_t i = factors_.size(); i-- > 0;)
    if (factors_[i] <= s && s % factors_[i] == 0) return i;
  return 0;
}

bool TRasterView::PrepareOrRaise(HDC dc, int32_t w, int32_t h, int32_t rx, int32_t ry,
                                 int32_t scale) {
  IRaster* raster = nullptr;
  int32_t x = 0, y = 0, level_scale = 0;
  try {
    size_ = 0;
    if (w < 1 || h < 1) return false;
    const size_t level = LevelFor(scale);
    const int32_t factor = factors_[level];
    raster = rasters_[level];
    x = rx / factor;
    y = ry / factor;
    level_scale = scale / factor;
    buffer_width_ = w;
    buffer_height_ = h;
    visible_x_ = visible_y_ = 0;
    visible_width_ = w;
    visible_height_ = h;
    if (raster == nullptr || raster->GetWidth() <= x || raster->GetHeight() <= y ||
        !mt::VisibleRect(raster, x, y, level_scale, w, h, &visible_x_, &visible_y_, &visible_width_,
                         &visible_height_))
      return false;
    // GetBufferSize reports the size in 32 bits, which also bounds it below
    // what a 32-bit size_t can hold.
    const int64_t size = int64_t{raster->GetPixelSize()} * w * h;
    if (size < 1 || size > INT32_MAX) return false;
    if (buffer_.size() < static_cast<size_t>(size)) {
      try {
        std::vector<uint8_t>().swap(buffer_);
        buffer_.resize(static_cast<size_t>(size));
      } catch (const std::bad_alloc&) {
        return false;
      }
    }
  } catch (...) {
    throw kViewEntranceFailed;
  }
  try {
    if (!ReadWindow(buffer_.data(), w, h, raster, x, y, level_scale)) return false;
    size_ = static_cast<size_t>(int64_t{raster->GetPixelSize()} * w * h);
  } catch (...) {
    throw kViewReadFailed;
  }
  try {
    // A window of the same size keeps its image: Draw writes every pixel of
    // it, and a fresh image of a full screen costs more than the read.
    if (dib_ == nullptr || dib_->GetWidth() != w || dib_->GetHeight() != h)
      dib_ = std::make_unique<TDibSection>(w, h, dc);
  } catch (...) {
    size_ = 0;
    throw kViewDibFailed;
  }
  return true;
}

bool ORVO_STDCALL TRasterView::Prepare(HDC dc, int32_t w, int32_t h, int32_t rx, int32_t ry,
                                       int32_t scale) {
  try {
    return PrepareOrRaise(dc, w, h, rx, ry, scale);
  } catch (...) {
    size_ = 0;
    dib_.reset();
    return false;
  }
}

bool ORVO_STDCALL TRasterView::Draw(HDC dc, int32_t x, int32_t y, IPalette* palette, uint32_t rop) {
  if (size_ == 0 || dib_ == nullptr || (pixel_size_ > 3 && palette == nullptr)) return false;
  try {
    const int64_t row_bytes = int64_t{buffer_width_} * pixel_size_;
    for (int32_t r = 0; r < buffer_height_; ++r)
      if (!PixelsToDib(dib_->GetRow(r), buffer_.data() + r * row_bytes, pixel_size_, buffer_width_,
                       palette))
        return false;
    GdiFlush();
    return BitBlt(dc, x + visible_x_, y + visible_y_, visible_width_, visible_height_,
                  dib_->GetDC(), visible_x_, visible_y_, rop) != FALSE;
  } catch (...) {
    return false;
  }
}

bool ORVO_STDCALL TRasterView::Render(HDC dc, int32_t x, int32_t y, int32_t w, int32_t h,
                                      int32_t rx, int32_t ry, int32_t scale, IPalette* palette,
                                      uint32_t rop) {
  return Prepare(dc, w, h, rx, ry, scale) && Draw(dc, x, y, palette, rop);
}

bool RasterPreviewPresent(const char* path) {
  int count = 0;
  for (const std::string& file : StemFiles(path))
    if (orvo::IsRasterFile(file.c_str())) ++count;
  return count > 1;
}

}  // namespace mt
