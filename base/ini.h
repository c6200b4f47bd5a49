// INI reader: sections in square brackets and key=value lines, read from a
// file or a memory block into a flat store that is case-insensitive for
// section names and keys.
#ifndef BASE_INI_H_
#define BASE_INI_H_

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/id_index.h"

namespace orvo {

// Reads INI text; it has no writer. Load once with LoadMemory or LoadFile right
// after construction, then only read.
//
// Syntax: a line whose first non-blank character is ';' is a comment; a line
// starting with '[' is a section header; any other line under a named section
// is a key line "key=value" (a line without '=' is a key with an empty value).
// Section names and keys are trimmed and upper-cased (ASCII letters only);
// values are kept as read, untrimmed. CR LF, LF, CR and NUL all end a line;
// a physical line longer than 2047 characters (memory) or 2046 characters
// (file) is parsed in pieces, each piece as a line of its own.
//
// Syntax errors throw DataException (base/errors.h) with one of the messages
//   "Error, section name %s already used"
//   "Error, wrong key format in section %s"
//   "Error, key %s already used in section %s"
// and leave the store with the entries read before the failing line. A header
// without ']' is reported to the error-notification hook with
// kIniBadHeaderCode (base/error_hook.h), takes the empty name and the key
// lines under it are dropped; the empty name counts as a section seen, so a
// second broken header (or a second "[]") raises the duplicate-section error.
//
// Section names and keys must not contain ':': the store files "SECTION:KEY"
// under the text before its first ':' (a name holding one lends the rest to
// its keys). Sections exist only through their keys.
class TIni {
 public:
  TIni() = default;
  TIni(const TIni&) = delete;
  TIni& operator=(const TIni&) = delete;

  // Parses size bytes at bytes (copied first; a null pointer or a size below 1
  // is an empty block). True when all lines were read; throws DataException.
  bool LoadMemory(const char* bytes, int32_t size);
  // Parses the file at path, read as bytes (the same line ends on every
  // platform; no end-of-file character). False when the file cannot be
  // opened (the store stays empty) or a read fails (the store keeps the lines
  // read before); throws DataException.
  bool LoadFile(const char* path);

  // Number of distinct sections holding at least one key; fills the list that
  // GetSectionName reads, in ascending byte order of the upper-cased names.
  int32_t GetSectionCount();
  // Entry i of the list filled by GetSectionCount; empty when out of range.
  const std::string& GetSectionName(int32_t i) const;

  // The stored value of key in section (both matched case-insensitively), or
  // default_text when there is none. An empty stored value is returned as such.
  std::string GetValue(const std::string& section, const std::string& key,
                       const std::string& default_text);

  // Selects the keys of section (case-insensitive) in ascending byte order of
  // the upper-cased keys; returns their number.
  int32_t ReadSection(const std::string& section);
  // As ReadSection, but the keys come in the order in which they stood in the
  // text.
  int32_t ReadSectionInFileOrder(const std::string& section);
  // As ReadSectionInFileOrder, but only the keys that stood under a header of
  // exactly that name: those a header "[SECTION:REST]" lent to the section
  // (as "REST:KEY") are left out.
  int32_t ReadOwnKeysInFileOrder(const std::string& section);
  // Upper-cased key i / its value of the last ReadSection; empty when out of
  // range.
  // The references stay valid until the next ReadSection or GetSectionCount.
  const std::string& GetSectionKey(int32_t i) const;
  const std::string& GetSectionValue(int32_t i) const;

  // Upper-cased keys and their values, in the order in which they stood. The
  // views point into the store (each value is followed by a NUL) and stay
  // valid while it lives.
  using TKeyValues = std::vector<std::pair<std::string_view, std::string_view>>;
  // The keys of entry i of the list filled by GetSectionCount, without a copy;
  // empty when out of range. Valid while the store is not loaded again.
  const TKeyValues& GetSectionEntries(int32_t i) const;

 private:
  // One section of the store.
  struct TStoredSection {
    std::string name;
    TKeyValues entries;
    // Per entry: true when a header with ':' lent its key a prefix; empty as
    // long as no key of the section was lent.
    std::vector<bool> lent;
    // The keys, once the section has grown past a few dozen of them.
    std::unique_ptr<std::unordered_set<std::string_view>> key_set;

    bool HasKey(std::string_view key) const;
    void AddKey(std::string_view key, std::string_view value, bool lent_prefix);
    bool Lent(size_t i) const { return i < lent.size() && lent[i]; }
  };

  // A name met in headers or as the text before a header's ':'.
  struct TName {
    int32_t store_index = -1;  // its stored section, once it has a key
    int32_t seen_in_load = 0;  // the last load with a header of that name
  };

  // The entry of name (a view of the store's text), made when new.
  TName& NameEntry(std::string_view name);

  // Room for n bytes of key and value text that stay in place while the store
  // lives.
  char* Allocate(size_t n);

  // Parser state of one load. The names are views of the store's text.
  struct TLoadState {
    std::string_view section;     // current header, upper-cased; empty: none
    std::string_view store_name;  // section's text before any ':'
    std::string_view key_prefix;  // the rest after that ':' and ':'
    int32_t store_index = -1;     // its stored section, once known
    TName* store = nullptr;       // the entry of store_name, when known
  };

  // Starts a load; sizes the tables for a text of that many bytes.
  void Begin(int64_t text_bytes);
  // Parses one line (NUL-terminated; may end in CR or LF).
  void ParseLine(const char* line, TLoadState& state);
  void ParseHeader(const char* line, const char* open, TLoadState& state);
  void ParseKeyLine(const char* line, TLoadState& state);
  // The stored section of that name, or null.
  const TStoredSection* FindSection(const std::string& name) const;
  // Selects the keys of section in file order, with or without the lent ones.
  int32_t SelectInFileOrder(const std::string& section, bool with_lent);

  std::vector<std::unique_ptr<char[]>> text_blocks_;
  char* text_at_ = nullptr;  // free room of the last block
  size_t text_left_ = 0;
  std::vector<TStoredSection> store_;
  // What is known of each upper-cased name, and the index to it from the
  // name (a view of the store's text).
  std::deque<TName> names_;
  TIdIndex<TName> name_index_;
  int32_t load_number_ = 0;
  std::vector<int32_t> listed_;  // store_ positions in ascending name order
  std::vector<std::string> selected_keys_;
  std::vector<std::string> selected_values_;
};

}  // namespace orvo

#endif  // BASE_INI_H_
