// Spatial kinds, record checks and the number rules of the spatial text files.
#include "vector/spatial_record.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "base/errors.h"
#include "base/strings.h"

namespace orvo {

const char kBadSpatialRecord[] = "bad spatial record";
const char kSpatialWriteFailed[] = "can't write spatial file";

const char* SpatialKindName(int32_t kind) {
  switch (kind) {
    case kKindPoint:
    case kKindPoint + kKindHeightOffset:
      return "PNT";
    case kKindLine:
    case kKindLine + kKindHeightOffset:
      return "LIN";
    case kKindRegion:
    case kKindRegion + kKindHeightOffset:
      return "RGN";
    case kKindText:
      return "TXT";
    default:
      return "MIX";
  }
}

int32_t CheckSpatialRecord(int32_t id, const int32_t* vertex_counts, const double* metric,
                           int32_t vector_count) {
  // A record that fails here would stop every later reader at it: the text
  // reader raises on a zero count and the binary reader skips id 0.
  if (id == 0 || vertex_counts == nullptr || metric == nullptr || vector_count < 1) {
    Raise(kBadSpatialRecord);
  }
  int64_t total = 0;
  for (int32_t i = 0; i < vector_count; ++i) {
    if (vertex_counts[i] < 1) Raise(kBadSpatialRecord);
    total += vertex_counts[i];
    if (total > kMaxRecordVertices) Raise(kBadSpatialRecord);
  }
  return static_cast<int32_t>(total);
}

bool ParseDouble(const char* text, const char* end, double* value, const char** stop) {
  const char* p = text;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = (*p == '-');
    ++p;
  }
  double parsed = 0.0;
  // A sign was consumed above, so a second sign is not accepted here.
  if (p < end && (*p == '+' || *p == '-')) {
    *value = 0.0;
    if (stop != nullptr) *stop = text;
    return false;
  }
  std::from_chars_result r = std::from_chars(p, end, parsed, std::chars_format::general);
  if (r.ec == std::errc::invalid_argument) {
    *value = 0.0;
    if (stop != nullptr) *stop = text;
    return false;
  }
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the range of a double: the digit-by-digit parser gives infinity
    // or zero, as the C library's conversions do. Rare, so a copy is fine.
    parsed = std::fabs(StrToDouble(std::string(p, r.ptr).c_str()));
  }
  *value = negative ? -parsed : parsed;
  if (stop != nullptr) *stop = r.ptr;
  return true;
}

}  // namespace orvo
