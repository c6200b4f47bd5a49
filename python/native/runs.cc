// Whole runs of records read in one call, for hosts that pay for every call
// they make: the Python package over ctypes pays about a microsecond each,
// more than a record takes to read. Only the library's exports are used, so
// a run holds exactly what a host walking the records one by one would see.
//
// Both readers stop before a record that does not fit the caller's arrays and
// leave it current; the next call with from_current set starts with it.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "orvoapi.h"

#if defined(_WIN32)
#define ORVO_RUNS_API extern "C" __declspec(dllexport)
#else
#define ORVO_RUNS_API extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr int32_t kInt = 1, kDouble = 2, kString = 5;

// Why a run stopped with its last record left current (*pending); -1: it did
// not (max_records were read, or the layer ended).
constexpr int32_t kNoPending = -1;
constexpr int32_t kNewAttribute = -2;  // an attribute id no column has
constexpr int32_t kOtherType = -3;     // a value of another type than its column's
constexpr int32_t kLongerText = -4;    // a text longer than the text columns hold

bool Advance(bool* from_current, bool (*next)(void*), void* reader) {
  if (*from_current) {
    *from_current = false;
    return true;
  }
  return next(reader);
}

bool NextSpatial(void* r) { return NextSR(static_cast<HSR>(r)); }
bool NextAttribute(void* r) { return NextAR(static_cast<HAR>(r)); }

// The whole text of attribute i, or its whole id (any length), in *text.
void AttributeText(HAR ar, int32_t i, std::string* text,
                   bool (*get)(HAR, int32_t, char*, int32_t) = GetAttributeAR) {
  text->assign(64, '\0');
  for (;;) {
    if (!get(ar, i, text->data(), static_cast<int32_t>(text->size()))) {
      text->clear();
      return;
    }
    const size_t end = text->find('\0');
    if (end != std::string::npos || text->size() > (1u << 28)) {
      text->resize(std::min(end, text->size()));
      return;
    }
    text->assign(text->size() * 4, '\0');
  }
}

}  // namespace

// Up to max_records records after the current one (from it, with
// from_current): ids, kinds (GetLocalSR), vertex counts, and the x, y pairs
// of their vertices one record after another in xy (room for max_vertices).
// Returns the records read. *pending is the vertex count of a record left
// current because its vertices did not fit, else -1; a run of 0 records with
// *pending >= 0 asks for a larger xy.
ORVO_RUNS_API int32_t ReadSpatialRun(HSR sr, bool from_current, int32_t max_records,
                                     int32_t max_vertices, int32_t* ids, int32_t* kinds,
                                     int32_t* counts, double* xy, int32_t* pending) {
  if (pending != nullptr) *pending = kNoPending;
  if (sr == nullptr || pending == nullptr || ids == nullptr || kinds == nullptr ||
      counts == nullptr || xy == nullptr || max_records < 1 || max_vertices < 0)
    return 0;
  int32_t n = 0;
  int64_t used = 0;
  while (n < max_records && Advance(&from_current, NextSpatial, sr)) {
    const int32_t count = GetVertexCountSR(sr);
    if (count > max_vertices - used) {
      *pending = count;
      break;
    }
    const double* metric = GetMetricSR(sr);
    if (count > 0 && metric != nullptr)
      std::memcpy(xy + 2 * used, metric, static_cast<size_t>(count) * 2 * sizeof(double));
    ids[n] = GetIdSR(sr);
    kinds[n] = GetLocalSR(sr);
    counts[n] = count;
    used += count;
    ++n;
  }
  return n;
}

// Up to max_records attribute records after the current one (from it, with
// from_current): ids, user ids, and for each of column_count columns (names
// and types: 1 int32, 2 double, 5 text of text_width bytes a record, NUL
// padded) the record's value of that attribute id. A record without it gets
// 0, NaN or an empty text; int and double columns take values of their own
// type, text columns any value as its text. The run stops, leaving the
// record current, at an attribute id no column has (*pending -2), a value
// whose type is not its column's (*pending -3, *column the column) or a text
// longer than text_width (*pending -4, *text_needed its length); the caller
// adds or widens the column and goes on from that record.
ORVO_RUNS_API int32_t ReadAttributeRun(HAR ar, bool from_current, int32_t max_records,
                                       int32_t column_count, const char* const* names,
                                       const int32_t* types, void* const* columns,
                                       int32_t text_width, int32_t* ids, int32_t* user_ids,
                                       int32_t* text_needed, int32_t* pending, int32_t* column) {
  if (pending != nullptr) *pending = kNoPending;
  if (ar == nullptr || pending == nullptr || column == nullptr || text_needed == nullptr ||
      ids == nullptr || user_ids == nullptr || max_records < 1 || column_count < 0 ||
      (column_count > 0 && (names == nullptr || types == nullptr || columns == nullptr)) ||
      text_width < 1)
    return 0;
  std::string scratch, long_name;
  std::vector<int32_t> column_of;  // per attribute of the record
  std::vector<std::string_view> column_names(names, names + column_count);
  char name[64];  // ids are short; a longer one takes the slow path
  // The column of attribute i, tried at its own index first (records mostly
  // list their attributes in one order); -1 for none.
  const auto find_column = [&](int32_t i) {
    if (!GetAttributeIdAR(ar, i, name, sizeof(name))) name[0] = '\0';
    std::string_view id(name, strnlen(name, sizeof(name)));
    if (id.size() == sizeof(name)) {  // filled: an id of 64 bytes or more
      AttributeText(ar, i, &long_name, GetAttributeIdAR);
      id = long_name;
    }
    if (i < column_count && column_names[i] == id) return i;
    for (int32_t k = 0; k < column_count; ++k)
      if (column_names[k] == id) return k;
    return int32_t{-1};
  };
  *text_needed = 0;
  int32_t n = 0;
  while (n < max_records && Advance(&from_current, NextAttribute, ar)) {
    // First every attribute is matched to its column, so that a record that
    // stops the run leaves nothing half written.
    const int32_t count = std::max(GetAttributeCountAR(ar), 0);
    column_of.resize(static_cast<size_t>(count));
    bool stop = false;
    for (int32_t i = 0; i < count && !stop; ++i) {
      const int32_t j = column_of[i] = find_column(i);
      if (j < 0) {
        *pending = kNewAttribute;
        stop = true;
      } else if (types[j] != kString && GetAttributeDataTypeAR(ar, i) != types[j]) {
        *pending = kOtherType;
        *column = j;
        stop = true;
      }
    }
    if (stop) break;
    for (int32_t k = 0; k < column_count; ++k) {
      switch (types[k]) {
        case kInt:
          static_cast<int32_t*>(columns[k])[n] = 0;
          break;
        case kDouble:
          static_cast<double*>(columns[k])[n] = __builtin_nan("");
          break;
        default:
          std::memset(static_cast<char*>(columns[k]) + int64_t{n} * text_width, 0,
                      static_cast<size_t>(text_width));
      }
    }
    for (int32_t i = 0; i < count; ++i) {
      const int32_t j = column_of[i];
      if (types[j] == kInt) {
        static_cast<int32_t*>(columns[j])[n] = GetIntAttributeAR(ar, i);
      } else if (types[j] == kDouble) {
        static_cast<double*>(columns[j])[n] = GetDoubleAttributeAR(ar, i);
      } else {
        // One byte more than the cell: a text that leaves it non-NUL is longer
        // than the column holds, and the run stops for a wider one.
        scratch.assign(static_cast<size_t>(text_width) + 1, '\0');
        GetAttributeAR(ar, i, scratch.data(), text_width + 1);
        if (scratch.back() != '\0') {
          AttributeText(ar, i, &scratch);
          const size_t length = scratch.size();
          *text_needed = static_cast<int32_t>(std::min<size_t>(length, INT32_MAX));
          *pending = kLongerText;
          return n;
        }
        std::memcpy(static_cast<char*>(columns[j]) + int64_t{n} * text_width, scratch.data(),
                    static_cast<size_t>(text_width));
      }
    }
    ids[n] = GetIdAR(ar);
    user_ids[n] = GetUserIdAR(ar);
    ++n;
  }
  return n;
}
