// INI reader: line sources, the line parser and the lookups.
#include "base/ini.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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
    while (length < n && Available()) {
      // Copy the run of the chunk up to a line end or the piece's end.
      size_t stop = position_;
      size_t limit = position_ + static_cast<size_t>(n - length);
      if (limit > filled_) limit = filled_;
      while (stop < limit && !IsLineEnd(chunk_[stop])) ++stop;
      std::memcpy(buffer + length, chunk_ + position_, stop - position_);
      length += static_cast<int32_t>(stop - position_);
      position_ = stop;
      if (stop < limit) break;  // a line end
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
  Expect(size > 0 ? static_cast<int64_t>(size) : 0, state);
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
  if (std::fseek(file, 0, SEEK_END) == 0) {
    long size = std::ftell(file);
    if (size > 0) Expect(size, state);
    std::rewind(file);
  }
  char line[kFilePiece + 1];
  while (lines->GetLine(line, kFilePiece)) ParseLine(line, state);
  return !lines->Failed();
}

void TIni::Expect(int64_t text_bytes, TLoadState& state) {
  // A section takes a few hundred bytes of text; the guess only saves
  // rehashing, so it is capped.
  size_t sections = static_cast<size_t>(std::min<int64_t>(text_bytes / 256, 1 << 18));
  state.seen.reserve(sections);
  store_index_.reserve(sections);
  store_.reserve(sections);
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
    name = UpperCopy(TrimCSpace(std::string_view(open + 1, static_cast<size_t>(close - open - 1))));
  } else {
    // Reported, not fatal: the key lines up to the next header are dropped.
    // The empty name is remembered like any other, so a second broken header
    // (or a second "[]") is a duplicate section below.
    ReportError(kIniBadHeaderCode, line);
  }
  state.section = name;
  size_t colon = name.find(':');
  if (colon == std::string::npos) {
    state.store_name = name;
    state.key_prefix.clear();
  } else {
    state.store_name = name.substr(0, colon);
    state.key_prefix = name.substr(colon + 1) + ':';
  }
  state.store_index = -1;
  if (!state.seen.insert(std::move(name)).second) ThrowSectionUsed(state.section);
}

namespace {
// Sections with more keys than this find them through a hash set.
constexpr size_t kLinearKeys = 16;
}  // namespace

char* TIni::Allocate(size_t n) {
  constexpr size_t kBlock = 256 * 1024;
  if (n > text_left_) {
    size_t size = n > kBlock / 4 ? n : kBlock;
    text_blocks_.emplace_back(new char[size]);
    text_at_ = text_blocks_.back().get();
    text_left_ = size;
  }
  char* at = text_at_;
  text_at_ += n;
  text_left_ -= n;
  return at;
}

bool TIni::TStoredSection::HasKey(std::string_view key) const {
  if (key_set) return key_set->count(key) != 0;
  for (const auto& entry : entries) {
    if (entry.first == key) return true;
  }
  return false;
}

void TIni::TStoredSection::AddKey(std::string_view key, std::string_view value, bool lent_prefix) {
  if (key_set) {
    key_set->insert(key);
  } else if (entries.empty()) {
    entries.reserve(kLinearKeys);
  } else if (entries.size() == kLinearKeys) {
    key_set = std::make_unique<std::unordered_set<std::string_view>>();
    for (const auto& entry : entries) key_set->insert(entry.first);
    key_set->insert(key);
  }
  entries.emplace_back(key, value);
  lent.push_back(lent_prefix);
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
  while (key_begin < key_end && IsCSpace(*key_begin)) ++key_begin;
  while (key_end > key_begin && IsCSpace(key_end[-1])) --key_end;
  if (key_begin == key_end) ThrowWrongKey(state.section);

  const char* value_begin = *token_end == '=' ? token_end + 1 : token_end;
  const char* value_end = value_begin;
  while (*value_end != '\0' && *value_end != '\n' && *value_end != '\r') ++value_end;

  if (state.store_index < 0) {
    auto [it, inserted] =
        store_index_.try_emplace(state.store_name, static_cast<int32_t>(store_.size()));
    if (inserted) {
      store_.emplace_back();
      store_.back().name = state.store_name;
    }
    state.store_index = it->second;
  }
  TStoredSection& section = store_[static_cast<size_t>(state.store_index)];
  // Key (after the prefix a ':' in the header lends it), then the value and
  // a NUL, side by side in the store's text.
  size_t prefix = state.key_prefix.size();
  size_t key_length = prefix + static_cast<size_t>(key_end - key_begin);
  size_t value_length = static_cast<size_t>(value_end - value_begin);
  char* text = Allocate(key_length + value_length + 1);
  std::memcpy(text, state.key_prefix.data(), prefix);
  for (size_t i = prefix; i < key_length; ++i) {
    char c = key_begin[i - prefix];
    text[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  std::string_view key(text, key_length);
  if (section.HasKey(key)) ThrowKeyUsed(std::string(key.substr(prefix)), state.section);
  std::memcpy(text + key_length, value_begin, value_length);
  text[key_length + value_length] = '\0';
  section.AddKey(key, std::string_view(text + key_length, value_length), prefix > 0);
}

const TIni::TStoredSection* TIni::FindSection(const std::string& name) const {
  auto it = store_index_.find(name);
  return it == store_index_.end() ? nullptr : &store_[static_cast<size_t>(it->second)];
}

int32_t TIni::GetSectionCount() {
  listed_.resize(store_.size());
  for (size_t i = 0; i < store_.size(); ++i) listed_[i] = static_cast<int32_t>(i);
  std::sort(listed_.begin(), listed_.end(),
            [&](int32_t a, int32_t b) { return store_[a].name < store_[b].name; });
  return static_cast<int32_t>(listed_.size());
}

namespace {
const std::string kNoText;
const TIni::TKeyValues kNoEntries;
}  // namespace

const std::string& TIni::GetSectionName(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= listed_.size()) return kNoText;
  return store_[static_cast<size_t>(listed_[static_cast<size_t>(i)])].name;
}

const TIni::TKeyValues& TIni::GetSectionEntries(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= listed_.size()) return kNoEntries;
  return store_[static_cast<size_t>(listed_[static_cast<size_t>(i)])].entries;
}

std::string TIni::GetValue(const std::string& section, const std::string& key,
                           const std::string& default_text) {
  // The entry "SECTION:KEY" is filed under the text before its first ':'.
  std::string entry = UpperCopy(section);
  entry.append(1, ':').append(UpperCopy(key));
  size_t colon = entry.find(':');
  const TStoredSection* stored = FindSection(entry.substr(0, colon));
  if (stored == nullptr) return default_text;
  std::string_view wanted = std::string_view(entry).substr(colon + 1);
  for (const auto& [k, value] : stored->entries) {
    if (k == wanted) return std::string(value);
  }
  return default_text;
}

int32_t TIni::ReadSectionInFileOrder(const std::string& section) {
  return SelectInFileOrder(section, /*with_lent=*/true);
}

int32_t TIni::ReadOwnKeysInFileOrder(const std::string& section) {
  return SelectInFileOrder(section, /*with_lent=*/false);
}

int32_t TIni::SelectInFileOrder(const std::string& section, bool with_lent) {
  selected_keys_.clear();
  selected_values_.clear();
  std::string name = UpperCopy(section);
  // A name holding ':' can never be the text before an entry's first ':'.
  if (name.find(':') != std::string::npos) return 0;
  const TStoredSection* stored = FindSection(name);
  if (stored == nullptr) return 0;
  selected_keys_.reserve(stored->entries.size());
  selected_values_.reserve(stored->entries.size());
  for (size_t i = 0; i < stored->entries.size(); ++i) {
    if (!with_lent && stored->lent[i]) continue;
    selected_keys_.emplace_back(stored->entries[i].first);
    selected_values_.emplace_back(stored->entries[i].second);
  }
  return static_cast<int32_t>(selected_keys_.size());
}

int32_t TIni::ReadSection(const std::string& section) {
  int32_t count = ReadSectionInFileOrder(section);
  std::vector<size_t> order(selected_keys_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return selected_keys_[a] < selected_keys_[b]; });
  std::vector<std::string> keys, values;
  keys.reserve(order.size());
  values.reserve(order.size());
  for (size_t i : order) {
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
