// Spatial record conventions shared by the spatial readers and writers: kinds,
// record limits, and the number rules of the text spatial and index files.
#ifndef VECTOR_SPATIAL_RECORD_H_
#define VECTOR_SPATIAL_RECORD_H_

#include <cstdint>

#include "base/c_numbers.h"

namespace orvo {

// Spatial kinds. A record that carries a height for every vertex reports
// kind + kKindHeightOffset as its "local 3D" kind (11 point with Z, ...).
// In the node/edge/face network a point is a node and a line an edge.
enum SpatialKind : int32_t {
  kKindPoint = 1,
  kKindLine = 2,
  kKindRegion = 3,
  kKindText = 4,
  kKindMixed = 5,
};
constexpr int32_t kKindHeightOffset = 10;

// Header keyword of a kind in the text form: PNT, LIN, RGN for 1-3 and 11-13,
// TXT for 4, MIX for every other value (14 and 15 included).
const char* SpatialKindName(int32_t kind);

// The most vertices one record may hold: its binary record size (52 + 4V +
// 16N + 8(N + 2)) must fit a signed 32-bit field, and the text reader keeps
// 2N coordinates in a 32-bit counted array.
constexpr int32_t kMaxRecordVertices = (INT32_MAX - 68) / 28;

// Messages of the spatial writers when a record could not be read back.
extern const char kBadSpatialRecord[];    // "bad spatial record"
extern const char kSpatialWriteFailed[];  // "can't write spatial file"

// Checks a record given to a writer: id not 0, at least one vector, every
// vertex count at least 1, non-null arrays, and a total that fits the limits
// above. Raises kBadSpatialRecord otherwise; returns the total vertex count.
int32_t CheckSpatialRecord(int32_t id, const int32_t* vertex_counts, const double* metric,
                           int32_t vector_count);

// Integer of [text, end) by the C library's atoi rule (CAtoi).
inline int32_t AtoiRule(const char* text, const char* end) {
  return CAtoi(std::string_view(text, static_cast<size_t>(end - text)));
}

// Decimal floating point from [text, end), locale-independent and correctly
// rounded: optional leading '+' or '-', digits, fraction, exponent, "inf" and
// "nan". Parsing stops at the first character that cannot continue the
// number. Returns false (and *value 0.0) when no number starts at text.
bool ParseDouble(const char* text, const char* end, double* value, const char** stop = nullptr);

}  // namespace orvo

#endif  // VECTOR_SPATIAL_RECORD_H_
