// Loading a classifier from its INI-style text: sections "FEATURE.id",
// "ATTRIBUTE.id", "GROUP.id" and "GRAPH.id"; other sections are ignored.
#include "classify/classify_loader.h"

#include <charconv>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/c_numbers.h"
#include "base/error_hook.h"
#include "base/errors.h"
#include "base/ini.h"
#include "classify/classify.h"
#include "classify/data_type.h"
#include "vector/tokenizer.h"

namespace orvo {
namespace {

constexpr std::string_view kFeaturePrefix = "FEATURE.";
constexpr std::string_view kAttributePrefix = "ATTRIBUTE.";
constexpr std::string_view kGroupPrefix = "GROUP.";
constexpr std::string_view kGraphPrefix = "GRAPH.";

// Texts reused from section to section, so that reading fields allocates
// only for a text longer than all before it.
struct TScratch {
  std::string field;
  std::string value;
  std::string anno;
};

// The keys of one section with their raw values, read in place from the
// store; sections hold a handful of keys, so lookups are linear.
class TSection {
 public:
  TSection(const TIni::TKeyValues& entries, TScratch& scratch)
      : entries_(entries), scratch_(scratch) {}

  TScratch& Scratch() const { return scratch_; }

  // The raw value of an upper-case key, followed by a NUL; empty when absent.
  std::string_view Raw(std::string_view key) const {
    // Keys mostly differ in length or in their last character (NAME1, NAME2,
    // VALUE1, ...): both are checked before the bytes. No key is empty.
    for (const auto& entry : entries_) {
      if (entry.first.size() == key.size() && entry.first.back() == key.back() &&
          entry.first == key)
        return entry.second;
    }
    return "";
  }

  // How many keys start with prefix, and their values' bytes: bounds for
  // numbered keys.
  int32_t CountPrefixed(std::string_view prefix, size_t* value_bytes) const {
    int32_t n = 0;
    *value_bytes = 0;
    for (const auto& entry : entries_) {
      if (entry.first.substr(0, prefix.size()) != prefix) continue;
      ++n;
      *value_bytes += entry.second.size();
    }
    return n;
  }

  // The first quoted field of the value (the attribute text file's token
  // rule: separator ',', quote '"', backslash escapes). Valid until the next
  // call.
  std::string_view Quoted(std::string_view key) const {
    TTokenizer tokenizer(',', '"');
    tokenizer.Reset(Raw(key).data());
    tokenizer.Next(scratch_.field);
    return scratch_.field;
  }

 private:
  const TIni::TKeyValues& entries_;
  TScratch& scratch_;
};

bool IsListSeparator(char c) { return c == ' ' || c == ',' || c == '\n' || c == '\r'; }

// The number of items of an attribute list: runs without a separator.
int32_t CountListItems(std::string_view list) {
  int32_t n = 0;
  for (size_t i = 0; i < list.size(); ++i)
    if (!IsListSeparator(list[i]) && (i == 0 || IsListSeparator(list[i - 1]))) ++n;
  return n;
}

void LoadFeature(TClassify& classify, const std::string& section, const TSection& keys) {
  int32_t local = LocalKindFromText(keys.Raw("LOCAL"));
  if (local == 0) {
    ReportError(kClassifyBadLocalCode, section.c_str());
    return;
  }
  std::string id = section.substr(kFeaturePrefix.size());
  if (classify.Features().Get(id) != nullptr) {
    ReportError(kClassifyFeatureExistsCode, section.c_str());
    return;
  }
  TPtr<TFeature> feature(new TFeature(id));
  feature->SetName1(keys.Raw("NAME1"));
  feature->SetName2(keys.Raw("NAME2"));
  feature->SetAnno(keys.Quoted("ANNO"));
  feature->SetLocal(local);
  feature->SetGraphId(keys.Raw("GRAPH"));
  std::string_view list = keys.Raw("ATTRIBUTES");
  feature->ReserveAttributes(CountListItems(list));
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && IsListSeparator(list[i])) ++i;
    size_t start = i;
    while (i < list.size() && !IsListSeparator(list[i])) ++i;
    if (i > start) feature->AddAttribute(list.substr(start, i - start), false);
  }
  classify.Features().Insert(std::move(feature));
}

void LoadAttribute(TClassify& classify, const std::string& section, const TSection& keys) {
  std::string_view name1 = keys.Raw("NAME1");
  std::string_view type_text = keys.Raw("TYPE");
  int32_t data_type = DataTypeFromTypeText(type_text);
  if (name1.empty() || data_type == kDataTypeNone) {
    ReportError(kClassifyBadAttributeCode, section.c_str());
    return;
  }
  TPtr<TAttribute> attribute(new TAttribute(section.substr(kAttributePrefix.size())));
  attribute->SetName1(name1);
  attribute->SetName2(keys.Raw("NAME2"));
  attribute->SetAnno(keys.Quoted("ANNO"));
  attribute->SetDataType(data_type);
  attribute->SetDataSubType(DataSubTypeFromTypeText(type_text));
  std::string_view text = keys.Quoted("DEFAULT");
  if (!text.empty()) attribute->SetDefault(text);
  // Max before min; the range check is on only when both are given.
  text = keys.Quoted("MAX");
  if (!text.empty()) attribute->SetMax(text);
  text = keys.Quoted("MIN");
  if (!text.empty()) attribute->SetMin(text);
  text = keys.Quoted("UNIT");
  if (!text.empty()) attribute->SetUnit(text);
  // VALUE1, VALUE2, ... up to the first missing or empty one.
  size_t value_bytes = 0;
  int32_t values = keys.CountPrefixed("VALUE", &value_bytes);
  attribute->ReserveValues(values, value_bytes);
  TTokenizer tokenizer(',', '"');
  std::string& value = keys.Scratch().value;
  std::string& anno = keys.Scratch().anno;
  char value_key[24] = "VALUE";
  for (int32_t n = 1;; ++n) {
    std::to_chars_result r = std::to_chars(value_key + 5, value_key + sizeof value_key, n);
    std::string_view raw =
        keys.Raw(std::string_view(value_key, static_cast<size_t>(r.ptr - value_key)));
    if (raw.empty()) break;
    tokenizer.Reset(raw.data());
    tokenizer.Next(value);
    tokenizer.Next(anno);
    attribute->AddValue(value, anno);
  }
  classify.Attributes().Insert(std::move(attribute));
}

void LoadGroup(TClassify& classify, const std::string& section, const TSection& keys) {
  TPtr<TGroup> group(new TGroup(section.substr(kGroupPrefix.size())));
  group->SetAnno(keys.Quoted("ANNO"));
  classify.Groups().Insert(std::move(group));
}

void LoadGraph(TClassify& classify, const std::string& section, const TSection& keys) {
  TPtr<TGraph> graph(new TGraph(section.substr(kGraphPrefix.size())));
  graph->SetAnno(keys.Quoted("ANNO"));
  graph->SetFileSymbol(keys.Raw("FILE"));
  graph->SetStdSymbol(keys.Raw("STD"));
  // Absent numbers read as "0".
  graph->SetPriority(CAtoi(keys.Raw("PRIORITY")));
  graph->SetMinScale(CStrtod(keys.Raw("MINSCALE")));
  graph->SetMaxScale(CStrtod(keys.Raw("MAXSCALE")));
  classify.Graphs().Insert(std::move(graph));
}

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.size() >= prefix.size() && std::string_view(text).substr(0, prefix.size()) == prefix;
}

// Fills the cleared classifier from a loaded store, section by section in
// ascending byte order of the names.
void LoadSections(TClassify& classify, TIni& ini) {
  int32_t count = ini.GetSectionCount();
  TScratch scratch;
  for (int32_t i = 0; i < count; ++i) {
    const std::string& section = ini.GetSectionName(i);
    TSection keys(ini.GetSectionEntries(i), scratch);
    if (StartsWith(section, kFeaturePrefix)) {
      LoadFeature(classify, section, keys);
    } else if (StartsWith(section, kAttributePrefix)) {
      LoadAttribute(classify, section, keys);
    } else if (StartsWith(section, kGroupPrefix)) {
      LoadGroup(classify, section, keys);
    } else if (StartsWith(section, kGraphPrefix)) {
      LoadGraph(classify, section, keys);
    }
  }
}

// The load shared by both sources: read reads the text into the store.
template <class Read>
bool Load(TClassify& classify, const char* source_name, Read&& read) {
  classify.Clear();
  try {
    TIni ini;
    bool read_ok;
    try {
      read_ok = read(ini);
    } catch (const DataException& error) {
      // Sections are handled only once the whole text is read: nothing of it
      // is in the classifier.
      ReportError(kClassifyIniErrorCode, error.Message().c_str());
      return false;
    }
    if (!read_ok) {
      ReportError(kClassifyCantOpenCode, source_name);
      return false;
    }
    LoadSections(classify, ini);
  } catch (...) {
    classify.Clear();  // never leave half a classifier behind
    throw;
  }
  classify.MarkAllStale();
  return true;
}

}  // namespace

bool TClassify::LoadFile(const char* path) {
  return Load(*this, path, [&](TIni& ini) { return ini.LoadFile(path); });
}

bool TClassify::LoadMemory(const char* bytes, int32_t size) {
  return Load(*this, "memory", [&](TIni& ini) { return ini.LoadMemory(bytes, size); });
}

}  // namespace orvo
