// Spatial index: loading of both index files and the id-ordered cursor.
#include "vector/spatial_index.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/file_reader64.h"
#include "base/holders.h"
#include "base/text_file_reader64.h"
#include "vector/binary_spatial_format.h"
#include "vector/spatial_record.h"

namespace orvo {

namespace {

constexpr uint32_t kIndexWindowRequest = 1000000;

inline bool IsScanSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// One "%i" or "%Li" conversion at *p: base by prefix, like strtol with base 0.
bool ScanInteger(const char** p, int64_t* value) {
  const char* s = *p;
  while (IsScanSpace(*s)) ++s;
  const char* digits = s;
  if (*digits == '+' || *digits == '-') ++digits;
  if (*digits < '0' || *digits > '9') return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(s, &end, 0);
  if (end == s) return false;
  *value = v;
  *p = end;
  return true;
}

bool ScanInt32(const char** p, int32_t* value) {
  int64_t v = 0;
  if (!ScanInteger(p, &v)) return false;
  *value = v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
  return true;
}

bool ScanDouble(const char** p, double* value) {
  const char* s = *p;
  while (IsScanSpace(*s)) ++s;
  const char* stop = s;
  if (!ParseDouble(s, s + std::strlen(s), value, &stop)) return false;
  *p = stop;
  return true;
}

// The ',' between two conversions must follow at once.
bool ScanComma(const char** p) {
  if (**p != ',') return false;
  ++*p;
  return true;
}

}  // namespace

bool ParseIndexLine(const char* line, TSpatialIndexEx::SI* entry) {
  std::memset(entry, 0, sizeof *entry);
  const char* p = line;
  double* doubles[5] = {&entry->bound.minx, &entry->bound.miny, &entry->bound.maxx,
                        &entry->bound.maxy, &entry->value};
  if (!ScanInt32(&p, &entry->id) || !ScanComma(&p) || !ScanInt32(&p, &entry->kind) ||
      !ScanComma(&p) || !ScanInteger(&p, &entry->spatial_position) || !ScanComma(&p) ||
      !ScanInteger(&p, &entry->attribute_position)) {
    return false;
  }
  for (double* d : doubles) {
    if (!ScanComma(&p) || !ScanDouble(&p, d)) return false;
  }
  int32_t* links[6] = {&entry->left_face,  &entry->right_face,  &entry->left_edge,
                       &entry->right_edge, &entry->start_point, &entry->end_point};
  for (int32_t* link : links) {
    if (!ScanComma(&p) || !ScanInt32(&p, link)) {
      *link = 0;
      break;
    }
  }
  return true;
}

TSpatialIndexEx::TSpatialIndexEx() : cursor_(entries_.end()) {}

TSpatialIndexEx::~TSpatialIndexEx() = default;

void TSpatialIndexEx::Clear() {
  entries_.clear();
  bound_ = {0.0, 0.0, 0.0, 0.0};
  cursor_ = entries_.end();
  at_start_ = true;
}

void TSpatialIndexEx::Insert(const SI& entry) {
  if (entries_.empty()) {
    bound_ = entry.bound;
  } else {
    if (entry.bound.minx < bound_.minx) bound_.minx = entry.bound.minx;
    if (entry.bound.miny < bound_.miny) bound_.miny = entry.bound.miny;
    if (entry.bound.maxx > bound_.maxx) bound_.maxx = entry.bound.maxx;
    if (entry.bound.maxy > bound_.maxy) bound_.maxy = entry.bound.maxy;
  }
  entries_.emplace(static_cast<int64_t>(entry.id), entry);
}

bool TSpatialIndexEx::LoadBinary(const char* file_name) noexcept {
  Clear();
  bool ok = false;
  try {
    LoadBinaryFile(file_name, &ok);
  } catch (...) {
    ok = false;
  }
  if (!ok) Clear();
  return ok;
}

bool TSpatialIndexEx::LoadText(const char* file_name) noexcept {
  Clear();
  try {
    LoadTextFile(file_name);
    return true;
  } catch (...) {
    Clear();
    return false;
  }
}

void TSpatialIndexEx::LoadBinaryFile(const char* file_name, bool* ok) {
  TFileReader64 file(file_name, kIndexWindowRequest);
  const uint8_t* head = file.MapRange(0, kBinaryIndexHeaderSize);
  if (head == nullptr) return;
  int64_t stored_size;
  std::memcpy(&stored_size, head, sizeof stored_size);
  if (stored_size != file.Size() ||
      std::memcmp(head + kBinaryIndexSignatureOffset, kBinaryIndexSignature,
                  sizeof kBinaryIndexSignature) != 0) {
    return;
  }
  // Whole entries up to the end; a partial entry at the end is not one.
  for (int64_t at = kBinaryIndexHeaderSize; at + kBinaryIndexEntrySize <= file.Size();
       at += kBinaryIndexEntrySize) {
    const uint8_t* p = file.MapRange(at, kBinaryIndexEntrySize);
    if (p == nullptr) return;
    SI entry;
    std::memcpy(&entry, p, sizeof entry);
    Insert(entry);
  }
  *ok = true;
}

void TSpatialIndexEx::LoadTextFile(const char* file_name) {
  TTextFileReader64 file(file_name);
  char line[kTextLineLength + 1];
  SI entry;
  while (file.ReadLine(line, kTextLineLength)) {
    if (ParseIndexLine(line, &entry)) Insert(entry);
  }
}

void TSpatialIndexEx::Reset() {
  at_start_ = true;
  cursor_ = entries_.end();
}

bool TSpatialIndexEx::Next() {
  if (at_start_) {
    at_start_ = false;
    cursor_ = entries_.begin();
  } else if (cursor_ != entries_.end()) {
    ++cursor_;
  }
  return cursor_ != entries_.end();
}

bool TSpatialIndexEx::Find(int32_t id) {
  Map::const_iterator it = entries_.find(id);
  if (it == entries_.end()) return false;
  cursor_ = it;
  at_start_ = false;
  return true;
}

const TSpatialIndexEx::SI* TSpatialIndexEx::Current() const {
  if (at_start_ || cursor_ == entries_.end()) return nullptr;
  return &cursor_->second;
}

}  // namespace orvo
