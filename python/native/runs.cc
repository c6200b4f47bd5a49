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

// The code point of the UTF-8 sequence at text[0..length) in *code and its
// byte count, or 0 when it is none (a stray, overlong, surrogate or truncated
// sequence, or a code point above U+10FFFF): the sequences Python's strict
// UTF-8 decoder takes, no more.
size_t Utf8Sequence(const unsigned char* text, size_t length, char32_t* code) {
  const unsigned lead = text[0];
  size_t size;
  unsigned low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    size = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    size = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    size = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (length < size || text[1] < low || text[1] > high) return 0;
  char32_t value = lead & (0x7F >> size);
  for (size_t i = 1; i < size; ++i) {
    if ((text[i] & 0xC0) != 0x80) return 0;
    value = (value << 6) | (text[i] & 0x3F);
  }
  *code = value;
  return size;
}

// The text's bytes as code points into out (room for length): decoded as
// UTF-8 when the whole text is valid UTF-8, else each byte as its code point.
// Returns the code points written.
size_t DecodeText(const unsigned char* text, size_t length, char32_t* out) {
  char32_t* at = out;
  for (size_t i = 0; i < length;) {
    if (text[i] < 0x80) {
      *at++ = text[i++];
      continue;
    }
    const size_t size = Utf8Sequence(text + i, length - i, at);
    if (size == 0) {
      std::copy(text, text + length, out);
      return length;
    }
    ++at;
    i += size;
  }
  return static_cast<size_t>(at - out);
}

// A text cell of width bytes, NUL padded, into a cell of width code points:
// the bytes up to the last that is not NUL (as numpy reads a bytes cell)
// decoded, NUL padded.
void WriteTextCell(const unsigned char* bytes, int32_t width, char32_t* cell) {
  unsigned char high = 0;
  for (int32_t k = 0; k < width; ++k) high |= bytes[k];
  if (high < 0x80) {  // ASCII: each byte is its code point, the padding too
    std::copy(bytes, bytes + width, cell);
    return;
  }
  size_t length = static_cast<size_t>(width);
  while (length > 0 && bytes[length - 1] == '\0') --length;
  std::fill(cell + DecodeText(bytes, length, cell), cell + width, U'\0');
}

bool SameBytes(const char* a, const char* b, size_t n) {  // short ids: no call
  for (size_t k = 0; k < n; ++k)
    if (a[k] != b[k]) return false;
  return true;
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
// and types: 1 int32, 2 double, 5 text) the record's value of that attribute
// id. A text cell holds text_width code points of 4 bytes (numpy's 'U'
// cells), NUL padded: the value's bytes as UTF-8 when they are valid UTF-8,
// else each byte as its own code point (Latin-1), as the package decodes
// every text. A record without the attribute gets 0, NaN or an empty text;
// int and double columns take values of their own type, text columns any
// value as its text. The run stops, leaving the record current, at an
// attribute id no column has (*pending -2), a value whose type is not its
// column's (*pending -3, *column the column) or a text of more than
// text_width bytes (*pending -4, *text_needed its byte count); the caller
// adds or widens the column and goes on from that record, which is written
// again from its first cell.
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
  std::string long_name;
  std::vector<std::string_view> column_names(names, names + column_count);
  // One byte more than a cell: a text that leaves it non-NUL is longer than
  // the column holds, and the run stops for a wider one.
  std::string bytes(static_cast<size_t>(text_width) + 1, '\0');
  char name[64];  // ids are short; a longer one takes the slow path
  // The column of attribute i, tried at its own index first (records mostly
  // list their attributes in one order); -1 for none.
  const auto find_column = [&](int32_t i) {
    if (i < column_count && column_names[i].size() < sizeof(name)) {
      // Only as many bytes as the expected id and its NUL.
      const std::string_view expected = column_names[i];
      const int32_t size = static_cast<int32_t>(expected.size()) + 1;
      if (GetAttributeIdAR(ar, i, name, size) && name[size - 1] == '\0' &&
          SameBytes(name, expected.data(), expected.size()))
        return i;
    }
    if (!GetAttributeIdAR(ar, i, name, sizeof(name))) name[0] = '\0';
    std::string_view id(name, strnlen(name, sizeof(name)));
    if (id.size() == sizeof(name)) {  // filled: an id of 64 bytes or more
      AttributeText(ar, i, &long_name, GetAttributeIdAR);
      id = long_name;
    }
    for (int32_t k = 0; k < column_count; ++k)
      if (column_names[k] == id) return k;
    return int32_t{-1};
  };
  const auto cell = [&](int32_t k, int32_t row) {
    return static_cast<char32_t*>(columns[k]) + int64_t{row} * text_width;
  };
  std::vector<int32_t> written(static_cast<size_t>(column_count), -1);  // the last row
  *text_needed = 0;
  int32_t n = 0;
  while (n < max_records && Advance(&from_current, NextAttribute, ar)) {
    // A record that stops the run is left half written in row n; the next
    // run starts with it in the same row and writes every cell again.
    const int32_t count = GetAttributeCountAR(ar);
    for (int32_t i = 0; i < count; ++i) {
      const int32_t j = find_column(i);
      if (j < 0) {
        *pending = kNewAttribute;
        return n;
      }
      written[j] = n;
      if (types[j] == kString) {
        GetAttributeAR(ar, i, bytes.data(), text_width + 1);
        if (bytes.back() != '\0') {
          std::string text;
          AttributeText(ar, i, &text);
          *text_needed = static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
          *pending = kLongerText;
          return n;
        }
        WriteTextCell(reinterpret_cast<const unsigned char*>(bytes.data()), text_width, cell(j, n));
      } else if (GetAttributeDataTypeAR(ar, i) != types[j]) {
        *pending = kOtherType;
        *column = j;
        return n;
      } else if (types[j] == kInt) {
        static_cast<int32_t*>(columns[j])[n] = GetIntAttributeAR(ar, i);
      } else {
        static_cast<double*>(columns[j])[n] = GetDoubleAttributeAR(ar, i);
      }
    }
    for (int32_t k = 0; k < column_count; ++k) {  // the columns the record has not
      if (written[k] == n) continue;
      switch (types[k]) {
        case kInt:
          static_cast<int32_t*>(columns[k])[n] = 0;
          break;
        case kDouble:
          static_cast<double*>(columns[k])[n] = __builtin_nan("");
          break;
        default:
          std::fill_n(cell(k, n), text_width, U'\0');
      }
    }
    ids[n] = GetIdAR(ar);
    user_ids[n] = GetUserIdAR(ar);
    ++n;
  }
  return n;
}
