// Counting heights into records, and histogram files of whole rasters.
#include "display/dem_histogram.h"

#include <cstring>

#include "display/dem_colors.h"
#include "display/palette_file.h"
#include "display/scaling.h"

namespace mt {
namespace {

constexpr size_t kValues = 65536;

void Count(ValueCounts& counts, const uint8_t* values, int64_t n) {
  for (int64_t i = 0; i < n; ++i) {
    uint16_t v;
    std::memcpy(&v, values + 2 * i, 2);  // tiles and buffers may be unaligned
    ++counts[v];
  }
}

}  // namespace

bool TDemHistogramm::TakeCounts(const ValueCounts& counts) {
  records_.clear();
  int32_t low = kNoHeight, high = kNoHeight;
  bool found = false;
  for (uint32_t v = 0; v + 1 < kValues; ++v) {
    if (counts[v] == 0) continue;
    records_.push_back({static_cast<uint16_t>(v), counts[v]});
    int32_t h = static_cast<int16_t>(static_cast<uint16_t>(v));
    if (h > kZeroHeight) continue;
    if (h == kZeroHeight) h = 0;
    if (!found || h < low) low = h;
    if (!found || h > high) high = h;
    found = true;
  }
  min_height_ = static_cast<int16_t>(found ? low : kNoHeight);
  max_height_ = static_cast<int16_t>(found ? high : kNoHeight);
  return found;
}

bool ORVO_STDCALL TDemHistogramm::BuildFromView(IRasterView* view, int32_t w, int32_t h, int32_t rx,
                                                int32_t ry, int32_t scale) {
  try {
    records_.clear();
    if (view == nullptr || view->GetPixelSize() != 2 || view->GetBuffer() == nullptr ||
        view->GetBufferSize() == 0 || rx >= view->GetWidth() || ry >= view->GetHeight())
      return false;
    if (w < 1 || h < 1 || view->GetBufferSize() / 2 != int64_t{w} * h) return false;
    int32_t x = 0, y = 0, cx = 0, cy = 0;
    if (!VisibleRect2(view->GetWidth(), view->GetHeight(), rx, ry, scale, w, h, &x, &y, &cx, &cy))
      return false;
    const auto* buffer = static_cast<const uint8_t*>(view->GetBuffer());
    ValueCounts counts(kValues);
    for (int32_t row = y; row < y + cy; ++row)
      Count(counts, buffer + (int64_t{row} * w + x) * 2, cx);
    return TakeCounts(counts);
  } catch (...) {
    return false;
  }
}

bool ORVO_STDCALL TDemHistogramm::BuildFromValues(const uint16_t* values, int32_t count) {
  try {
    records_.clear();
    if (values == nullptr || count < 1) return false;
    ValueCounts counts(kValues);
    Count(counts, reinterpret_cast<const uint8_t*>(values), count);
    return TakeCounts(counts);
  } catch (...) {
    return false;
  }
}

const SHORTHISTORECORD* ORVO_STDCALL TDemHistogramm::GetRecords() {
  return records_.empty() ? nullptr : records_.data();
}

int32_t ORVO_STDCALL TDemHistogramm::GetRecordCount() {
  return static_cast<int32_t>(records_.size());
}

bool ORVO_STDCALL TDemHistogramm::Save(const char* path) {
  try {
    if (records_.empty()) return false;
    return WriteWholeFile(path, HistogramFileBytes(records_.data(), records_.size()));
  } catch (...) {
    return false;
  }
}

bool ORVO_STDCALL TDemHistogramm::Load(const char* path) {
  try {
    return ReadHistogramRecords(path, &records_);
  } catch (...) {
    records_.clear();
    return false;
  }
}

bool BuildRasterHistogramFile(const char* path, IRaster* raster) {
  if (raster == nullptr || raster->GetPixelSize() != 2) return false;
  const int64_t tw = raster->GetTileWidth(), th = raster->GetTileHeight();
  if (tw < 1 || th < 1) return false;
  const int64_t across = (raster->GetWidth() + tw - 1) / tw;
  const int64_t down = (raster->GetHeight() + th - 1) / th;
  ValueCounts counts(kValues);
  for (int64_t ty = 0; ty < down; ++ty)
    for (int64_t tx = 0; tx < across; ++tx) {
      const void* tile = raster->GetTile(static_cast<int32_t>(tx), static_cast<int32_t>(ty));
      if (tile == nullptr) return false;
      Count(counts, static_cast<const uint8_t*>(tile), tw * th);
    }
  std::vector<SHORTHISTORECORD> records;
  for (uint32_t v = 0; v < kValues; ++v)
    if (counts[v] > 0) records.push_back({static_cast<uint16_t>(v), counts[v]});
  return WriteWholeFile(path, HistogramFileBytes(records.data(), records.size()));
}

}  // namespace mt
