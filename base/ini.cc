// INI reader: line sources, the line parser and the lookups.
#include "base/ini.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/error_hook.h"
#include "base/errors.h"
#include "base/holders.h"
#include "base/memory_list.h"
#include "base/strings.h"

namespace orvo {

namespace {

// Longest piece of a physical line handed to the parser.
constexpr int32_t kMemoryPiece = 2047;
constexpr int32_t kFilePiece = 2046;

inline bool IsLineEnd(char c) { return c == '\0' || c == '\n' || c == '\r'; }

// The C isspace set of the "C" locale, whatever locale is in force.
inline bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string Trimmed(const char* begin, const char* end) {
  while (begin < end && IsSpace(*begin)) ++begin;
  while (end > begin && IsSpace(end[-1])) --end;
  return std::string(begin, end);
}

[[noreturn]] void ThrowSectionUsed(const std::string& section) {
  throw DataException("Error, section name " + section + " already used");
}

[[noreturn]] void ThrowWrongKey(const std::string& section) {
  throw DataException("Error, wrong key format in section " + section);
}

[[noreturn]] void ThrowKeyUsed(const std::string& key, const std::string& section) {
  throw DataException("Error, key " + key + " already used in section " + section);
}

// Hands out the lines of an open file by the rules of TMemoryList::GetLine
// (CR, LF and NUL end a line; empty lines are skipped), reading it in chunks.
// Line ends are the same on every platform: the file is read as bytes.
class TFileLines {
 public:
  explicit TFileLines(std::FILE* file) : file_(file) {}

  bool Failed() const { return failed_; }

  // Next line, at most n characters, into buffer (n + 1 bytes); false at the
  // end of the file or on a read error (Failed tells which).
  bool GetLine(char* buffer, int32_t n) {
    while (Available() && IsLineEnd(chunk_[position_])) ++position_;
    int32_t length = 0;
    while (length < n && Available() && !IsLineEnd(chunk_[position_])) {
      buffer[length++] = chunk_[position_++];
    }
    buffer[length] = '\0';
    return length > 0;
  }

 private:
  // True when a byte is ready at position_, refilling the chunk if needed.
  bool Available() {
    if (position_ < filled_) return true;
    if (failed_ || std::feof(file_)) return false;
    filled_ = std::fread(chunk_, 1, sizeof(chunk_), file_);
    position_ = 0;
    if (filled_ == 0 && std::ferror(file_)) failed_ = true;
    return filled_ > 0;
  }

  std::FILE* file_;
  char chunk_[65536];
  size_t filled_ = 0;
  size_t position_ = 0;
  bool failed_ = false;
};

// Closes the file when the load ends, also by an exception.
struct TFileCloser {
  std::FILE* file;
  ~TFileCloser() { std::fclose(file); }
};

}  // namespace

bool TIni::LoadMemory(const char* bytes, int32_t size) {
  TMemoryList lines(bytes, size);
  TLoadState state;
  char line[kMemoryPiece + 1];
  while (lines.GetLine(line, kMemoryPiece)) ParseLine(line, state);
  return true;
}

bool TIni::LoadFile(const char* path) {
  if (path == nullptr) return false;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  TFileCloser closer{file};
  TPtr<TFileLines> lines(new TFileLines(file));  // 64 KiB chunk: keep it off the stack
  TLoadState state;
  char line[kFilePiece + 1];
  while (lines->GetLine(line, kFilePiece)) ParseLine(line, state);
  return !lines->Failed();
}

void TIni::ParseLine(const char* line, TLoadState& state) {
  const char* first = line;
  while (*first == ' ') ++first;
  if (IsLineEnd(*first) || *first == ';') return;
  if (*first == '[') {
    ParseHeader(line, first, state);
    return;
  }
  if (!state.section.empty()) ParseKeyLine(line, state);
}

void TIni::ParseHeader(const char* line, const char* open, TLoadState& state) {
  const char* close = open + 1;
  while (!IsLineEnd(*close) && *close != ']') ++close;
  std::string name;
  if (*close == ']') {
    name = UpperCopy(Trimmed(open + 1, close));
  } else {
    // Reported, not fatal: the key lines up to the next header are dropped.
    ReportError(kIniBadHeaderCode, line);
  }
  state.section = name;
  if (!state.seen.insert(name).second) ThrowSectionUsed(name);
}

void TIni::ParseKeyLine(const char* line, TLoadState& state) {
  // The key is the first run of characters other than '=' (the strtok rule),
  // the value everything after the '=' that ends it.
  const char* key_begin = line;
  while (*key_begin == '=') ++key_begin;
  if (*key_begin == '\0') ThrowWrongKey(state.section);
  const char* token_end = key_begin;
  while (*token_end != '\0' && *token_end != '=') ++token_end;
  const char* key_end = token_end;
  while (key_begin < key_end && IsSpace(*key_begin)) ++key_begin;
  while (key_end > key_begin && IsSpace(key_end[-1])) --key_end;
  if (key_begin == key_end) ThrowWrongKey(state.section);

  const char* value_begin = *token_end == '=' ? token_end + 1 : token_end;
  const char* value_end = value_begin;
  while (*value_end != '\0' && *value_end != '\n' && *value_end != '\r') ++value_end;

  // The entry key "SECTION:KEY", built in a buffer kept across lines.
  std::string& entry = state.entry;
  entry.assign(state.section).append(1, ':');
  size_t key_at = entry.size();
  entry.append(UpperCopy(std::string_view(key_begin, static_cast<size_t>(key_end - key_begin))));
  auto [it, inserted] = entries_.try_emplace(entry);
  if (!inserted) ThrowKeyUsed(entry.substr(key_at), state.section);
  it->second.value.assign(value_begin, value_end);
  it->second.order = static_cast<int32_t>(entries_.size()) - 1;
}

int32_t TIni::GetSectionCount() {
  // Every section's entries share the prefix "NAME:" and so form one run of
  // the ordered store; jump from run to run. ';' follows ':' in byte order.
  std::set<std::string> names;
  auto it = entries_.begin();
  while (it != entries_.end()) {
    const std::string& entry = it->first;
    std::string name = entry.substr(0, entry.find(':'));
    it = entries_.lower_bound(name + ';');
    names.insert(std::move(name));
  }
  sections_.assign(names.begin(), names.end());
  return static_cast<int32_t>(sections_.size());
}

namespace {
const std::string kNoText;
}  // namespace

const std::string& TIni::GetSectionName(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= sections_.size()) return kNoText;
  return sections_[static_cast<size_t>(i)];
}

std::string TIni::GetValue(const std::string& section, const std::string& key,
                           const std::string& default_text) {
  std::string entry = UpperCopy(section);
  entry.append(1, ':').append(UpperCopy(key));
  auto it = entries_.find(entry);
  return it != entries_.end() ? it->second.value : default_text;
}

int32_t TIni::ReadSection(const std::string& section) {
  selected_keys_.clear();
  selected_values_.clear();
  std::string prefix = UpperCopy(section);
  // A name holding ':' can never be the text before an entry's first ':'.
  if (prefix.find(':') != std::string::npos) return 0;
  prefix.append(1, ':');
  for (auto it = entries_.lower_bound(prefix);
       it != entries_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    selected_keys_.push_back(it->first.substr(prefix.size()));
    selected_values_.push_back(it->second.value);
  }
  return static_cast<int32_t>(selected_keys_.size());
}

int32_t TIni::ReadSectionInFileOrder(const std::string& section) {
  int32_t count = ReadSection(section);
  std::vector<std::pair<int32_t, size_t>> order;  // (order read, position selected)
  order.reserve(selected_keys_.size());
  std::string prefix = UpperCopy(section) + ':';
  for (size_t i = 0; i < selected_keys_.size(); ++i) {
    order.emplace_back(entries_.find(prefix + selected_keys_[i])->second.order, i);
  }
  std::sort(order.begin(), order.end());
  std::vector<std::string> keys, values;
  keys.reserve(order.size());
  values.reserve(order.size());
  for (const auto& [read, i] : order) {
    keys.push_back(std::move(selected_keys_[i]));
    values.push_back(std::move(selected_values_[i]));
  }
  selected_keys_ = std::move(keys);
  selected_values_ = std::move(values);
  return count;
}

const std::string& TIni::GetSectionKey(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= selected_keys_.size()) return kNoText;
  return selected_keys_[static_cast<size_t>(i)];
}

const std::string& TIni::GetSectionValue(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= selected_values_.size()) return kNoText;
  return selected_values_[static_cast<size_t>(i)];
}

}  // namespace orvo
