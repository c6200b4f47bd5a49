// Selection: the id set and its text file.
#include "vector/selection.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/text_file_reader.h"
#include "vector/spatial_record.h"

namespace orvo {

const char kCantWriteSelection[] = "can't write selection";

namespace {

// Longest piece of a line read at once; the rest comes as the next line.
constexpr int32_t kLineLength = 2047;

constexpr char kDelimiters[] = ".,;\n\r\t";

}  // namespace

TSelection::TSelection() = default;

TSelection::~TSelection() = default;

void TSelection::Save(const char* file_name) const {
  if (file_name == nullptr) Raise(kCantWriteSelection);
  std::string text;
  text.reserve(ids_.size() * 8);
  char number[16];
  for (int32_t id : ids_) {
    int length = std::snprintf(number, sizeof(number), "%d\r\n", static_cast<int>(id));
    text.append(number, static_cast<size_t>(length));
  }
  std::FILE* file = std::fopen(file_name, "wb");
  if (file == nullptr) Raise(kCantWriteSelection);
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  if (std::fclose(file) != 0) written = false;
  if (!written) {
    std::remove(file_name);
    Raise(kCantWriteSelection);
  }
}

void TSelection::Load(const char* file_name) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  TTextFileReader reader(file_name);
  std::vector<int32_t> read;
  char line[kLineLength + 1];
  while (reader.ReadLine(line, kLineLength)) {
    // The first token by the strtok rule: skip delimiters, run to the next.
    const char* token = line + std::strspn(line, kDelimiters);
    if (*token == '\0') continue;
    const char* end = token + std::strcspn(token, kDelimiters);
    read.push_back(AtoiRule(token, end));
  }
  ids_.insert(read.begin(), read.end());
}

}  // namespace orvo
