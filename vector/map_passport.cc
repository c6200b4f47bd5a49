// Map passport: properties, the passport file and the bound of a map.
#include "vector/map_passport.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/errors.h"
#include "base/holders.h"
#include "base/ini.h"
#include "base/strings.h"
#include "vector/spatial_reader_ex.h"
#include "vector/spatial_record.h"

namespace orvo {

const char kCantWritePassport[] = "can't write pasport";
const char kNoSuchAttribute[] = "no such passport attribute";

namespace {

constexpr char kSection[] = "COMMON";
constexpr char kAliasKey[] = "ALIAS";
constexpr char kBoundKey[] = "BOUND";
constexpr char kPassportExt[] = ".passport";

// The INI reader hands a longer line to its parser in pieces.
constexpr size_t kLongestLine = 2046;

std::string Trimmed(const char* text) { return std::string(TrimCSpace(text)); }

// Reads up to four numbers separated by single commas into the bound's fields
// in the order minx, miny, maxx, maxy; fields after the first unreadable
// number keep their values (the "%lg,%lg,%lg,%lg" scanning rule).
void ParseBound(const std::string& text, BOUND* bound) {
  double* fields[4] = {&bound->minx, &bound->miny, &bound->maxx, &bound->maxy};
  const char* p = text.c_str();
  const char* end = p + text.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (p == end || *p != ',') return;
      ++p;
    }
    while (p < end && IsCSpace(*p)) ++p;
    double value = 0.0;
    if (!ParseDouble(p, end, &value, &p)) return;
    *fields[i] = value;
  }
}

bool NeedsLeadingTab(const std::string& key) {
  return !key.empty() && (key[0] == '[' || key[0] == ';');
}

std::string WithoutLineEnds(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c != '\r' && c != '\n') out += c;
  }
  return out;
}

}  // namespace

TMapPassport::TMapPassport() : bound_{0.0, 0.0, 0.0, 0.0} {}

TMapPassport::~TMapPassport() = default;

BOUND TMapPassport::Normalised(const BOUND& bound) {
  BOUND out = bound;
  if (!(out.minx < out.maxx)) std::swap(out.minx, out.maxx);
  if (!(out.miny < out.maxy)) std::swap(out.miny, out.maxy);
  return out;
}

std::string TMapPassport::NormaliseKey(const char* key) { return UpperCopy(Trimmed(key)); }

bool TMapPassport::IsReserved(const std::string& key) {
  return key == kAliasKey || key == kBoundKey;
}

bool TMapPassport::CanStore(const std::string& key, const std::string& value) {
  // An empty key, '=' in the key, a leading '[' or ';' (header or comment)
  // or a line end anywhere would read back as something else.
  if (key.empty() || key[0] == '[' || key[0] == ';') return false;
  if (key.find_first_of("=\r\n") != std::string::npos) return false;
  if (value.find_first_of("\r\n") != std::string::npos) return false;
  return key.size() + 1 + value.size() <= kLongestLine;
}

int32_t TMapPassport::IndexOf(const std::string& key) const {
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (keys_[i] == key) return static_cast<int32_t>(i);
  }
  return -1;
}

const std::string& TMapPassport::AttributeKey(int32_t index) const {
  if (index < 0 || index >= AttributeCount()) Raise(kNoSuchAttribute);
  return keys_[static_cast<size_t>(index)];
}

const std::string& TMapPassport::AttributeValue(int32_t index) const {
  if (index < 0 || index >= AttributeCount()) Raise(kNoSuchAttribute);
  return values_[static_cast<size_t>(index)];
}

const std::string* TMapPassport::FindAttribute(const char* key) const {
  if (key == nullptr) return nullptr;
  int32_t i = IndexOf(NormaliseKey(key));
  return i < 0 ? nullptr : &values_[static_cast<size_t>(i)];
}

const std::string& TMapPassport::Attribute(const char* key) const {
  const std::string* value = FindAttribute(key);
  if (value == nullptr) Raise(kNoSuchAttribute);
  return *value;
}

void TMapPassport::Put(const std::string& key, std::string value) {
  int32_t i = IndexOf(key);
  if (i >= 0) {
    values_[static_cast<size_t>(i)] = std::move(value);
    return;
  }
  keys_.push_back(key);
  values_.push_back(std::move(value));
}

bool TMapPassport::AddAttribute(const char* key, const char* value) {
  if (key == nullptr) return false;
  std::string normalised = NormaliseKey(key);
  std::string trimmed = Trimmed(value != nullptr ? value : "");
  if (IsReserved(normalised) || !CanStore(normalised, trimmed)) return false;
  Put(normalised, std::move(trimmed));
  return true;
}

bool TMapPassport::RemoveAttribute(const char* key) {
  if (key == nullptr) return false;
  std::string normalised = NormaliseKey(key);
  if (IsReserved(normalised)) return false;
  int32_t i = IndexOf(normalised);
  if (i < 0) return false;
  keys_.erase(keys_.begin() + i);
  values_.erase(values_.begin() + i);
  return true;
}

bool TMapPassport::Load(const char* file_name) {
  if (file_name == nullptr) return false;
  file_name_ = ChangeExt(file_name, "");
  TIni ini;
  if (!ini.LoadFile(ChangeExt(file_name, kPassportExt).c_str())) return false;
  // Keys of a header "[COMMON:...]" belong to another section, not to the
  // passport (the INI store files them under COMMON with a prefix).
  int32_t count = ini.ReadOwnKeysInFileOrder(kSection);
  if (count == 0) return false;
  for (int32_t i = 0; i < count; ++i) {
    std::string key = ini.GetSectionKey(i);
    std::string value = ini.GetSectionValue(i);
    if (key == kAliasKey) {
      alias_ = std::move(value);
    } else if (key == kBoundKey) {
      ParseBound(value, &bound_);
    } else {
      Put(key, std::move(value));
    }
  }
  return true;
}

void TMapPassport::Save() const {
  if (file_name_.empty()) Raise(kCantWritePassport);
  std::string alias = WithoutLineEnds(alias_);
  if (alias.size() + sizeof(kAliasKey) > kLongestLine) Raise(kCantWritePassport);

  std::string text;
  text.append("[").append(kSection).append("]\r\n");
  text.append(kAliasKey).append("=").append(alias).append("\r\n");
  text.append(kBoundKey).append("=");
  AppendDouble(text, bound_.minx);
  text += ',';
  AppendDouble(text, bound_.miny);
  text += ',';
  AppendDouble(text, bound_.maxx);
  text += ',';
  AppendDouble(text, bound_.maxy);
  text.append("\r\n");
  for (size_t i = 0; i < keys_.size(); ++i) {
    // A key that a file gave us starting with '[' or ';' (it stood after a
    // tab) would read back as a header or a comment: a tab before it keeps
    // it a key line, and the reader trims the tab off again.
    if (NeedsLeadingTab(keys_[i])) text += '\t';
    text.append(keys_[i]).append("=").append(values_[i]).append("\r\n");
  }

  std::string path = file_name_ + kPassportExt;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) Raise(kCantWritePassport);
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0) written = false;
  if (!written) {
    std::remove(path.c_str());
    Raise(kCantWritePassport);
  }
}

void TMapPassport::Find(const char* file_name, bool binary) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  file_name_ = ChangeExt(file_name, "");
  alias_ = SplitPath(file_name).name;
  std::string spatial_name = ChangeExt(file_name, binary ? ".bspatial" : ".spatial");
  TPtr<TSpatialReaderEx> reader(TSpatialReaderEx::OpenEx(spatial_name.c_str(), binary));
  reader->Reset();
  bool any = false;
  BOUND total = bound_;
  while (reader->Next()) {
    // Text records are placed labels; they do not extend the map.
    if (reader->GetLocal() == kKindText) continue;
    BOUND record = {0.0, 0.0, 0.0, 0.0};
    reader->GetBound(&record);
    if (!any) {
      total = record;
      any = true;
      continue;
    }
    total.minx = std::min(total.minx, record.minx);
    total.miny = std::min(total.miny, record.miny);
    total.maxx = std::max(total.maxx, record.maxx);
    total.maxy = std::max(total.maxy, record.maxy);
  }
  bound_ = total;
}

}  // namespace orvo
