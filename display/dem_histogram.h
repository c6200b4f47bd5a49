// TDemHistogramm: counts of 16-bit heights from a prepared view window or an
// array, kept as records and saved as histogram files; and the histogram
// file of a whole raster.
#ifndef DISPLAY_DEM_HISTOGRAM_H_
#define DISPLAY_DEM_HISTOGRAM_H_

#include <cstdint>
#include <vector>

#include "base/api_object.h"
#include "orvoapi.h"

namespace mt {

// Counts of every 16-bit value, indexed by the value.
using ValueCounts = std::vector<int64_t>;

class TDemHistogramm : public orvo::TApiObject<IDemHistogramm> {
 public:
  TDemHistogramm() = default;

  bool ORVO_STDCALL BuildFromView(IRasterView* view, int32_t w, int32_t h, int32_t rx, int32_t ry,
                                  int32_t scale) override;
  bool ORVO_STDCALL BuildFromValues(const uint16_t* values, int32_t count) override;
  int16_t ORVO_STDCALL GetMinHeight() override { return min_height_; }
  int16_t ORVO_STDCALL GetMaxHeight() override { return max_height_; }
  const SHORTHISTORECORD* ORVO_STDCALL GetRecords() override;
  int32_t ORVO_STDCALL GetRecordCount() override;
  // Neither raises: false for any failure; a failed Save leaves no file.
  bool ORVO_STDCALL Save(const char* path) override;
  bool ORVO_STDCALL Load(const char* path) override;

 private:
  // Records every value but 65535 with a count; the limits take heights
  // below 9998 (9998 as 0). False, limits 9999, when there were none.
  bool TakeCounts(const ValueCounts& counts);

  std::vector<SHORTHISTORECORD> records_;
  int16_t min_height_ = 9999, max_height_ = 9999;  // 9999 while none was counted
};

// Writes the histogram file of every value in every tile of the raster
// (edge tiles' padding included). False for a null raster, one that is not 2
// bytes a pixel, a tile that cannot be read (no file is made then) or a
// failed write (the file is removed). Raises "can't open file" when the file
// cannot be created.
bool BuildRasterHistogramFile(const char* path, IRaster* raster);

}  // namespace mt

#endif  // DISPLAY_DEM_HISTOGRAM_H_
