// Coordinate arrays and their text file.
#include "transform/coords.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#include "base/c_numbers.h"

namespace orvo {
namespace {

// Width of a value's field; every field is followed by one blank.
constexpr size_t kFieldWidth = 20;
constexpr int kDecimals = 10;

bool IsDelimiter(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Appends value as "%20.10f " would write it in the C locale.
void AppendField(std::string& out, double value) {
  // The longest fixed form: sign, 309 integer digits, point, 10 decimals.
  char digits[340];
  std::to_chars_result r =
      std::to_chars(digits, digits + sizeof(digits), value, std::chars_format::fixed, kDecimals);
  size_t length = r.ec == std::errc() ? static_cast<size_t>(r.ptr - digits) : 0;
  if (length < kFieldWidth) out.append(kFieldWidth - length, ' ');
  out.append(digits, length);
  out.push_back(' ');
}

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const char* file_name, std::string& text) {
  std::FILE* file = std::fopen(file_name, "rb");
  if (file == nullptr) return false;
  char chunk[16384];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0) text.append(chunk, n);
  bool ok = std::ferror(file) == 0;
  std::fclose(file);
  return ok;
}

}  // namespace

TCoords::TCoords(int32_t dimension) : dimension_(dimension < 1 ? 1 : dimension) {}

TCoords::~TCoords() = default;

bool TCoords::ValidIndex(int32_t index) const {
  return index >= 0 && static_cast<size_t>(index) < points_.size();
}

double ORVO_STDCALL TCoords::GetValue(int32_t index, int32_t component) {
  if (!ValidIndex(index) || component < 0 || component >= dimension_) return 0.0;
  return points_[static_cast<size_t>(index)][component];
}

double* ORVO_STDCALL TCoords::GetPoint(int32_t index) {
  if (!ValidIndex(index)) return nullptr;
  return points_[static_cast<size_t>(index)].get();
}

int32_t ORVO_STDCALL TCoords::AddPoint(const double* values) {
  if (values == nullptr || points_.size() >= static_cast<size_t>(INT32_MAX)) return -1;
  try {
    std::unique_ptr<double[]> point(new double[static_cast<size_t>(dimension_)]);
    std::memcpy(point.get(), values, sizeof(double) * static_cast<size_t>(dimension_));
    points_.push_back(std::move(point));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return static_cast<int32_t>(points_.size() - 1);
}

bool ORVO_STDCALL TCoords::DeletePoint(int32_t index) {
  if (!ValidIndex(index)) return false;
  points_.erase(points_.begin() + index);
  return true;
}

int32_t ORVO_STDCALL TCoords::GetCount() { return static_cast<int32_t>(points_.size()); }

int32_t ORVO_STDCALL TCoords::GetDimension() { return dimension_; }

void ORVO_STDCALL TCoords::Clear() { points_.clear(); }

bool TCoords::Parse(std::string_view text) {
  std::vector<double> values(static_cast<size_t>(dimension_));
  size_t pos = 0;
  while (pos < text.size()) {
    // One line: up to the next CR or LF. The empty piece between CR and LF
    // is a line without values, skipped like any blank line.
    size_t end = pos;
    while (end < text.size() && !IsLineEnd(text[end])) ++end;
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;

    size_t taken = 0;
    size_t i = 0;
    while (taken < values.size()) {
      while (i < line.size() && IsDelimiter(line[i])) ++i;
      if (i == line.size()) break;
      size_t token_end = i;
      while (token_end < line.size() && !IsDelimiter(line[token_end])) ++token_end;
      char first = line[i];
      if (!((first >= '0' && first <= '9') || first == '-')) break;
      values[taken++] = CStrtod(line.substr(i, token_end - i));
      i = token_end;
    }
    if (taken == 0) continue;
    if (taken < values.size()) return false;
    std::unique_ptr<double[]> point(new double[values.size()]);
    std::memcpy(point.get(), values.data(), sizeof(double) * values.size());
    points_.push_back(std::move(point));
  }
  return true;
}

std::string TCoords::Format() const {
  std::string text;
  text.reserve(points_.size() * (static_cast<size_t>(dimension_) * (kFieldWidth + 1) + 2));
  for (const std::unique_ptr<double[]>& point : points_) {
    for (int32_t k = 0; k < dimension_; ++k) AppendField(text, point[k]);
    text.append("\r\n");
  }
  return text;
}

bool ORVO_STDCALL TCoords::Load(const char* file_name) {
  if (file_name == nullptr) return false;
  try {
    std::string text;
    if (!ReadWholeFile(file_name, text)) return false;
    return Parse(text);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool ORVO_STDCALL TCoords::Save(const char* file_name) {
  if (file_name == nullptr) return false;
  try {
    std::string text = Format();
    std::FILE* file = std::fopen(file_name, "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) != 0) written = false;
    return written;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace orvo
