// Tile lists: records parsed without the C locale, lines of any ending.
#include "taws/map_database.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "base/strings.h"

namespace orvo {
namespace {

constexpr size_t kLinePiece = 1023;          // characters of a 1024-byte line buffer
constexpr int32_t kLinesBeforeGiveUp = 100;  // non-record lines tolerated at the start

bool IsDigitIn(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0' < base;
  if (base != 16) return false;
  return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The text at pos as scanf's %i reads it: blanks, a sign, then a hexadecimal
// ("0x"), octal ("0") or decimal number; the low 32 bits are kept.
bool ScanInt(std::string_view s, size_t& pos, int32_t* out) {
  while (pos < s.size() && IsCSpace(s[pos])) ++pos;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  int base = 10;
  if (pos < s.size() && s[pos] == '0') {
    base = 8;
    if (pos + 2 < s.size() && (s[pos + 1] == 'x' || s[pos + 1] == 'X') &&
        IsDigitIn(s[pos + 2], 16)) {
      base = 16;
      pos += 2;
    }
  }
  if (pos >= s.size() || !IsDigitIn(s[pos], base)) return false;
  uint64_t value = 0;
  for (; pos < s.size() && IsDigitIn(s[pos], base); ++pos) {
    const char c = s[pos];
    const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  if (negative) value = 0 - value;
  *out = static_cast<int32_t>(static_cast<uint32_t>(value));
  return true;
}

// The text at pos as scanf's %f reads it into a float: blanks, a sign, then a
// decimal or "0x" hexadecimal number, "inf" or "nan". The decimal separator
// is '.' whatever the locale.
bool ScanFloat(std::string_view s, size_t& pos, float* out) {
  while (pos < s.size() && IsCSpace(s[pos])) ++pos;
  bool negative = false;
  if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) negative = s[pos++] == '-';
  if (pos >= s.size() || s[pos] == '+' || s[pos] == '-') return false;
  auto format = std::chars_format::general;
  if (s.size() - pos > 2 && s[pos] == '0' && (s[pos + 1] | 0x20) == 'x' &&
      (IsDigitIn(s[pos + 2], 16) || s[pos + 2] == '.')) {
    format = std::chars_format::hex;
    pos += 2;
  }
  float value = 0;
  const auto [end, ec] = std::from_chars(s.data() + pos, s.data() + s.size(), value, format);
  if (end == s.data() + pos) return false;
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value alone then; the C runtime gives inf or 0.
    double wide = 0;
    std::from_chars(s.data() + pos, end, wide, format);
    value = std::abs(wide) >= 1 ? HUGE_VALF : 0.0f;
  }
  pos = static_cast<size_t>(end - s.data());
  *out = negative ? -value : value;
  return true;
}

// ", " of the format: the comma exactly, then any blanks.
bool ScanComma(std::string_view s, size_t& pos) {
  if (pos >= s.size() || s[pos] != ',') return false;
  ++pos;
  return true;
}

bool HasFolder(std::string_view name) {
  return name.find_first_of("\\/:") != std::string_view::npos;
}

}  // namespace

std::optional<TBoundEx> ParseTileRecord(std::string_view line) {
  size_t pos = 0;
  TBoundEx entry;
  float c[4];
  if (!ScanInt(line, pos, &entry.id)) return std::nullopt;
  for (float& v : c)
    if (!ScanComma(line, pos) || !ScanFloat(line, pos, &v)) return std::nullopt;
  // A rectangle that is no place on the earth cannot name a tile.
  for (float v : c)
    if (!std::isfinite(v)) return std::nullopt;
  // The fields after the numbers end at commas and line ends; blanks around
  // them are not part of the names.
  std::vector<std::string_view> fields;
  std::string_view rest = line.substr(pos);
  while (!rest.empty()) {
    const size_t end = rest.find_first_of(",\r\n");
    std::string_view field = TrimCSpace(rest.substr(0, end));
    if (!field.empty()) fields.push_back(field);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  if (fields.empty()) return std::nullopt;
  entry.bound = {std::min(c[0], c[2]), std::min(c[1], c[3]), std::max(c[0], c[2]),
                 std::max(c[1], c[3])};
  entry.file_name = std::string(fields[0]);
  if (fields.size() > 1) entry.second_name = std::string(fields[1]);
  return entry;
}

bool TMapDatabase::Load(const char* list_name) {
  entries_.clear();
  if (list_name == nullptr) return false;
  path_ = list_name;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(list_name, "rb"), &std::fclose);
  if (!file) return false;
  int32_t lines = 0;
  bool any_record = false;
  std::string line;
  char chunk[4096];
  bool after_cr = false;
  // Each finished line; false once the file is no list.
  auto finish = [&]() {
    ++lines;
    if (auto entry = ParseTileRecord(line)) {
      entries_.push_back(std::move(*entry));
      any_record = true;
    }
    line.clear();
    return any_record || lines <= kLinesBeforeGiveUp;
  };
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file.get())) > 0) {
    for (size_t i = 0; i < got; ++i) {
      const char ch = chunk[i];
      if (ch == '\n' && after_cr) {  // the LF of a CR LF
        after_cr = false;
        continue;
      }
      after_cr = ch == '\r';
      if (ch == '\n' || ch == '\r') {
        if (!finish()) return true;
        continue;
      }
      line.push_back(ch);
      if (line.size() == kLinePiece && !finish()) return true;
    }
  }
  if (!line.empty()) finish();
  return true;
}

std::string TMapDatabase::FilePath(int32_t i) const {
  const std::string& name = Entry(i).file_name;
  if (HasFolder(name)) return name;
  const PathParts parts = SplitPath(path_);
  return parts.drive + parts.dir + name;
}

}  // namespace orvo
