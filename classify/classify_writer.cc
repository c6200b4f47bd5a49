// Saving a classifier as INI-style text: attributes, then features each
// followed by its graph, then the remaining graphs, then groups; CR LF line
// ends on every platform.
#include <cstdio>
#include <set>
#include <string>
#include <string_view>

#include "base/error_hook.h"
#include "base/strings.h"
#include "classify/classify.h"
#include "classify/classify_loader.h"
#include "classify/data_type.h"

namespace orvo {
namespace {

// The longest line the INI reader takes whole from a file; longer lines would
// be split and read back as other keys.
constexpr size_t kLongestLine = 2046;

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Builds the text in memory so that nothing touches the file unless every
// definition can be written.
class TClassifyWriter {
 public:
  explicit TClassifyWriter(const TClassify& classify) : classify_(classify) {}

  // The whole file, or false with the reason in Error().
  bool Build();
  const std::string& Text() const { return out_; }
  const std::string& Error() const { return error_; }

 private:
  void WriteAttribute(const TAttribute& attribute);
  void WriteFeature(const TFeature& feature);
  void WriteGraph(const TGraph& graph);
  void WriteGroup(const TGroup& group);

  // "[prefix id]" with the trimmed id; refuses ids the reader would change.
  void Header(std::string_view prefix, std::string_view id, std::set<std::string>& seen);
  // key=text with line ends dropped: raw fields are read back to the line end.
  void RawLine(std::string_view key, std::string_view text);
  // key="text" with '"' and '\' escaped by a backslash and line ends dropped.
  void QuotedLine(std::string_view key, std::string_view text);
  void AppendRaw(std::string_view text);
  void AppendQuoted(std::string_view text);
  // Ends the current line; refuses a line longer than the reader takes.
  void EndLine();
  void Fail(const std::string& why);

  const TClassify& classify_;
  std::string out_;
  size_t line_start_ = 0;
  std::string section_;  // header of the block being written, for messages
  std::string error_;
  std::set<std::string> attribute_sections_;
  std::set<std::string> feature_sections_;
  std::set<std::string> graph_sections_;
  std::set<std::string> group_sections_;
};

void TClassifyWriter::Fail(const std::string& why) {
  if (error_.empty()) error_ = section_ + ": " + why;
}

void TClassifyWriter::EndLine() {
  if (out_.size() - line_start_ > kLongestLine) Fail("line longer than 2046 characters");
  out_ += "\r\n";
  line_start_ = out_.size();
}

void TClassifyWriter::AppendRaw(std::string_view text) {
  for (char c : text)
    if (!IsLineEnd(c)) out_ += c;
}

void TClassifyWriter::AppendQuoted(std::string_view text) {
  for (char c : text) {
    if (IsLineEnd(c)) continue;
    if (c == '"' || c == '\\') out_ += '\\';
    out_ += c;
  }
}

void TClassifyWriter::RawLine(std::string_view key, std::string_view text) {
  out_ += key;
  out_ += '=';
  AppendRaw(text);
  EndLine();
}

void TClassifyWriter::QuotedLine(std::string_view key, std::string_view text) {
  out_ += key;
  out_ += "=\"";
  AppendQuoted(text);
  out_ += '"';
  EndLine();
}

void TClassifyWriter::Header(std::string_view prefix, std::string_view id,
                             std::set<std::string>& seen) {
  std::string_view trimmed = TrimCSpace(id);
  section_.assign(prefix).append(trimmed);
  for (char c : trimmed) {
    if (c == ']' || c == ':' || IsLineEnd(c)) {
      Fail("id holds ']', ':' or a line end");
      break;
    }
  }
  // The reader upper-cases section names and refuses a second one.
  if (!seen.insert(UpperCopy(trimmed)).second) Fail("id written twice");
  out_ += '[';
  out_ += section_;
  out_ += ']';
  EndLine();
}

void TClassifyWriter::WriteAttribute(const TAttribute& a) {
  Header("attribute.", a.Id(), attribute_sections_);
  RawLine("name1", a.Name1());
  RawLine("name2", a.Name2());
  QuotedLine("anno", a.Anno());
  RawLine("type", TypeTextOf(a.DataType(), a.DataSubType()));
  std::string_view unit = TrimCSpace(a.Unit());
  if (!unit.empty()) QuotedLine("unit", unit);
  std::string_view default_text = TrimCSpace(a.Default());
  if (!default_text.empty()) QuotedLine("default", default_text);
  if (a.HasLimits()) {
    std::string_view min = TrimCSpace(a.Min());
    if (!min.empty()) QuotedLine("min", min);
    std::string_view max = TrimCSpace(a.Max());
    if (!max.empty()) QuotedLine("max", max);
  }
  if (a.HasValues()) {
    EndLine();
    for (int32_t i = 0; i < a.ValueCount(); ++i) {
      out_ += "value";
      out_ += std::to_string(i + 1);
      out_ += "=\"";
      AppendQuoted(a.Value(i));
      out_ += "\",\"";
      AppendQuoted(a.ValueAnno(i));
      out_ += '"';
      EndLine();
    }
    // Loading gives an attribute with values its first value as default.
    if (default_text.empty()) QuotedLine("default", a.Value(0));
  }
  EndLine();
}

void TClassifyWriter::WriteFeature(const TFeature& f) {
  Header("feature.", f.Id(), feature_sections_);
  RawLine("name1", f.Name1());
  RawLine("name2", f.Name2());
  QuotedLine("anno", f.Anno());
  RawLine("graph", f.GraphId());
  RawLine("local", LocalKindName(f.Local()));
  out_ += "attributes=";
  for (const std::string& id : f.AttributeIds()) {
    // The reader splits the list at blanks, commas and line ends.
    if (id.empty() || id.find_first_of(" ,\r\n") != std::string::npos)
      Fail("attribute id '" + id + "' is empty or holds a list separator");
    out_ += id;
    out_ += ',';
  }
  EndLine();
  EndLine();
}

void TClassifyWriter::WriteGraph(const TGraph& g) {
  Header("graph.", g.Id(), graph_sections_);
  QuotedLine("anno", g.Anno());
  std::string_view file = TrimCSpace(g.FileSymbol());
  if (!file.empty()) RawLine("file", file);
  std::string_view std_symbol = TrimCSpace(g.StdSymbol());
  if (!std_symbol.empty()) RawLine("std", std_symbol);
  if (g.Priority() != 0) RawLine("priority", std::to_string(g.Priority()));
  if (g.MinScale() != 0.0) RawLine("minscale", DoubleToString(g.MinScale(), "%f"));
  if (g.MaxScale() != 0.0) RawLine("maxscale", DoubleToString(g.MaxScale(), "%f"));
  EndLine();
}

void TClassifyWriter::WriteGroup(const TGroup& g) {
  Header("group.", g.Id(), group_sections_);
  QuotedLine("anno", g.Anno());
  EndLine();
}

bool TClassifyWriter::Build() {
  for (const auto& entry : classify_.Attributes().Entries()) WriteAttribute(*entry.second);
  // A graph follows the first feature that uses it.
  std::set<const TGraph*> written;
  for (const auto& entry : classify_.Features().Entries()) {
    WriteFeature(*entry.second);
    const TGraph* graph = classify_.Graphs().Get(entry.second->GraphId());
    if (graph != nullptr && written.insert(graph).second) WriteGraph(*graph);
  }
  for (const auto& entry : classify_.Graphs().Entries())
    if (written.count(entry.second.get()) == 0) WriteGraph(*entry.second);
  for (const auto& entry : classify_.Groups().Entries()) WriteGroup(*entry.second);
  return error_.empty();
}

}  // namespace

bool TClassify::SaveFile(const char* path) const {
  if (path == nullptr) return false;
  TClassifyWriter writer(*this);
  if (!writer.Build()) {
    ReportError(kClassifyCantWriteCode, writer.Error().c_str());
    return false;
  }
  const std::string& text = writer.Text();
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = (std::fclose(file) == 0) && ok;
  // A short file would read back as a smaller classifier: do not leave it.
  if (!ok) std::remove(path);
  return ok;
}

}  // namespace orvo
