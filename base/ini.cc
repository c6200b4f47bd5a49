// INI reader: line sources, the line parser and the lookups.
#include "base/ini.h"

#include <algorithm>
#include <cstdint>
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

// The first line end in [p, end), or end. Eight bytes at a time while none of
// them is a line end: lines are long next to their ends.
const char* FindLineEnd(const char* p, const char* end) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHigh = 0x8080808080808080u;
  while (end - p >= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    uint64_t lf = w ^ (kOnes * '\n');
    uint64_t cr = w ^ (kOnes * '\r');
    // Non-zero exactly when one of the words has a zero byte.
    if ((((w - kOnes) & ~w) | ((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr)) & kHigh) break;
    p += 8;
  }
  while (p < end && !IsLineEnd(*p)) ++p;
  return p;
}

[[noreturn]] void ThrowSectionUsed(std::string_view section) {
  throw DataException("Error, section name " + std::string(section) + " already used");
}

[[noreturn]] void ThrowWrongKey(std::string_view section) {
  throw DataException("Error, wrong key format in section " + std::string(section));
}

[[noreturn]] void ThrowKeyUsed(std::string_view key, std::string_view section) {
  throw DataException("Error, key " + std::string(key) + " already used in section " +
                      std::string(section));
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
      size_t limit = position_ + static_cast<size_t>(n - length);
      if (limit > filled_) limit = filled_;
      size_t stop = static_cast<size_t>(FindLineEnd(chunk_ + position_, chunk_ + limit) - chunk_);
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
  Begin(size > 0 ? static_cast<int64_t>(size) : 0);
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
  long size = 0;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    size = std::ftell(file);
    std::rewind(file);
  }
  Begin(size > 0 ? size : 0);
  char line[kFilePiece + 1];
  while (lines->GetLine(line, kFilePiece)) ParseLine(line, state);
  return !lines->Failed();
}

void TIni::Begin(int64_t text_bytes) {
  ++load_number_;  // names seen by earlier loads count as unseen
  // A section takes a few hundred bytes of text; the guess only saves
  // rehashing, so it is capped.
  size_t sections = static_cast<size_t>(std::min<int64_t>(text_bytes / 256, 1 << 18));
  name_index_.Reserve(sections);
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
  std::string_view trimmed;
  if (*close == ']') {
    trimmed = TrimCSpace(std::string_view(open + 1, static_cast<size_t>(close - open - 1)));
  } else {
    // Reported, not fatal: the key lines up to the next header are dropped.
    // The empty name is remembered like any other, so a second broken header
    // (or a second "[]") is a duplicate section below.
    ReportError(kIniBadHeaderCode, line);
  }
  // The upper-cased name goes to the store's text with a ':' after it, which
  // ends the key prefix of a name that holds a ':' itself.
  char* text = Allocate(trimmed.size() + 1);
  for (size_t i = 0; i < trimmed.size(); ++i) {
    char c = trimmed[i];
    text[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  text[trimmed.size()] = ':';
  std::string_view name(text, trimmed.size());
  state.section = name;
  size_t colon = name.find(':');
  if (colon == std::string_view::npos) {
    state.store_name = name;
    state.key_prefix = std::string_view();
  } else {
    state.store_name = name.substr(0, colon);
    state.key_prefix = std::string_view(text + colon + 1, name.size() - colon);
  }
  state.store_index = -1;
  TName& seen = NameEntry(name);
  if (seen.seen_in_load == load_number_) ThrowSectionUsed(name);
  seen.seen_in_load = load_number_;
  // A name without ':' is its own stored section: no second lookup for it.
  state.store = colon == std::string_view::npos ? &seen : nullptr;
}

namespace {
// Sections with more keys than this find them through a hash set.
constexpr size_t kLinearKeys = 32;
}  // namespace

TIni::TName& TIni::NameEntry(std::string_view name) {
  names_.emplace_back();
  TName* entry = name_index_.Emplace(name, &names_.back());
  if (entry != &names_.back()) names_.pop_back();  // known already
  return *entry;
}

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
  // Keys of one section mostly differ in length or in their last character
  // (VALUE1, VALUE2): both are checked before the bytes. Keys are never empty.
  for (const auto& entry : entries) {
    if (entry.first.size() == key.size() && entry.first.back() == key.back() && entry.first == key)
      return true;
  }
  return false;
}

void TIni::TStoredSection::AddKey(std::string_view key, std::string_view value, bool lent_prefix) {
  if (key_set) {
    key_set->insert(key);
  } else if (entries.empty()) {
    entries.reserve(kLinearKeys / 2);
  } else if (entries.size() == kLinearKeys) {
    key_set = std::make_unique<std::unordered_set<std::string_view>>();
    for (const auto& entry : entries) key_set->insert(entry.first);
    key_set->insert(key);
  }
  if (lent_prefix || !lent.empty()) {
    lent.resize(entries.size(), false);
    lent.push_back(lent_prefix);
  }
  entries.emplace_back(key, value);
}

void TIni::ParseKeyLine(const char* line, TLoadState& state) {
  // The key is the first run of characters other than '=' (the strtok rule),
  // the value everything after the '=' that ends it.
  const char* key_begin = line;
  while (*key_begin == '=') ++key_begin;
  if (*key_begin == '\0') ThrowWrongKey(state.section);
  const char* line_end = key_begin + std::strlen(key_begin);
  const char* token_end = static_cast<const char*>(
      std::memchr(key_begin, '=', static_cast<size_t>(line_end - key_begin)));
  if (token_end == nullptr) token_end = line_end;
  const char* key_end = token_end;
  while (key_begin < key_end && IsCSpace(*key_begin)) ++key_begin;
  while (key_end > key_begin && IsCSpace(key_end[-1])) --key_end;
  if (key_begin == key_end) ThrowWrongKey(state.section);

  const char* value_begin = *token_end == '=' ? token_end + 1 : token_end;
  const char* value_end = FindLineEnd(value_begin, line_end);

  if (state.store_index < 0) {
    TName& stored = state.store != nullptr ? *state.store : NameEntry(state.store_name);
    if (stored.store_index < 0) {
      TStoredSection added;
      added.name.assign(state.store_name);
      store_.push_back(std::move(added));
      stored.store_index = static_cast<int32_t>(store_.size() - 1);
    }
    state.store_index = stored.store_index;
  }
  TStoredSection& section = store_[static_cast<size_t>(state.store_index)];
  // Key (after the prefix a ':' in the header lends it), then the value and
  // a NUL, side by side in the store's text.
  size_t prefix = state.key_prefix.size();
  size_t key_length = prefix + static_cast<size_t>(key_end - key_begin);
  size_t value_length = static_cast<size_t>(value_end - value_begin);
  char* text = Allocate(key_length + value_length + 1);
  if (prefix > 0) std::memcpy(text, state.key_prefix.data(), prefix);
  for (size_t i = prefix; i < key_length; ++i) {
    char c = key_begin[i - prefix];
    text[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  std::string_view key(text, key_length);
  if (section.HasKey(key)) ThrowKeyUsed(key.substr(prefix), state.section);
  std::memcpy(text + key_length, value_begin, value_length);
  text[key_length + value_length] = '\0';
  section.AddKey(key, std::string_view(text + key_length, value_length), prefix > 0);
}

const TIni::TStoredSection* TIni::FindSection(const std::string& name) const {
  const TName* known = name_index_.Find(name);
  if (known == nullptr || known->store_index < 0) return nullptr;
  return &store_[static_cast<size_t>(known->store_index)];
}

int32_t TIni::GetSectionCount() {
  // Sorted as (name, position) pairs side by side, rather than positions that
  // reach into the store for every comparison.
  std::vector<std::pair<std::string_view, int32_t>> order(store_.size());
  for (size_t i = 0; i < store_.size(); ++i) order[i] = {store_[i].name, static_cast<int32_t>(i)};
  auto by_name = [](const auto& a, const auto& b) { return a.first < b.first; };
  // Files written by a program often list their sections in order already.
  if (!std::is_sorted(order.begin(), order.end(), by_name))
    std::sort(order.begin(), order.end(), by_name);
  listed_.resize(order.size());
  for (size_t i = 0; i < order.size(); ++i) listed_[i] = order[i].second;
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
    if (!with_lent && stored->Lent(i)) continue;
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
