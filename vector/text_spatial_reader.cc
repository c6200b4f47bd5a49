// Text spatial reader: line classification and the record state machine.
#include "vector/text_spatial_reader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "base/errors.h"
#include "base/strings.h"
#include "vector/spatial_record.h"

namespace orvo {

const char kErrorInSpatialFile[] = "error in spatial file";
const char kUnknownLocalization[] = "unknown localization";
const char kVectorCountExpected[] = "vector count expected but not found";
const char kVectorCountIsNull[] = "vector count is null";
const char kVertexCountExpected[] = "vertex count expected but not found";
const char kVertexCountIsNull[] = "vertex count is null";

namespace {

// Kind keywords are matched as substrings of this string; the letter at which
// the first occurrence begins decides the kind.
constexpr std::string_view kKindLetters = "PNTLINRGNMIXTXT";

constexpr double kNoHeight = 9999.0;

// Character classes of the line scanner, one table lookup per byte.
enum : uint8_t {
  kLineEnd = 1,          // CR, LF
  kNul = 2,              // ends a line's text (the rest of the line is skipped)
  kNumberDelimiter = 4,  // ' ' ',' '\t' between the numbers of a line
  kIdDelimiter = 8,      // ' ' ',' ';' '\t' around the id of a header
  kKindDelimiter = 16,   // ' ' '\t' after the kind keyword
};

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> c{};
  c['\r'] = kLineEnd;
  c['\n'] = kLineEnd;
  c['\0'] = kNul;
  c[' '] = kNumberDelimiter | kIdDelimiter | kKindDelimiter;
  c['\t'] = kNumberDelimiter | kIdDelimiter | kKindDelimiter;
  c[','] = kNumberDelimiter | kIdDelimiter;
  c[';'] = kIdDelimiter;
  return c;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

inline bool Is(char c, uint8_t classes) {
  return (kClasses[static_cast<unsigned char>(c)] & classes) != 0;
}

// Letters by the rules of the C locale, the locale every host starts in, so
// that a file reads the same whatever locale the host has set.
inline bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A coordinate token: the leading number; a token without one reads as 0.
inline double Coordinate(const char* begin, const char* end) {
  double value = 0.0;
  ParseDouble(begin, end, &value);
  return value;
}

}  // namespace

TSpatialReader::TSpatialReader(const char* file_name)
    : file_(std::make_unique<TTextFileReader64>(file_name)) {
  Reset();
}

TSpatialReader::~TSpatialReader() = default;

void TSpatialReader::Reset() {
  next_ = 0;
  state_ = State::kHeader;
  ForgetRecord();
  id_ = 0;
  kind_ = 0;
  has_z_ = false;
  position_ = 0;
  vector_count_ = 0;
  sizes_.Clear();
  starts_.Clear();
  metric_.Clear();
  z_.Clear();
}

void TSpatialReader::PublishRecord() {
  has_record_ = true;
  current_.id = id_;
  current_.kind = kind_;
  current_.local3d = has_z_ ? kind_ + kKindHeightOffset : kind_;
  current_.vector_count = sizes_.Count();
  current_.vertex_count = metric_.Count() / 2;
  current_.vector_pos = starts_.Data();
  current_.metric = metric_.Data();
}

void TSpatialReader::ForgetRecord() {
  has_record_ = false;
  ClearCurrent();
}

void TSpatialReader::CopyBound(BOUND* bound) const {
  int32_t n = GetVertexCount();
  if (bound == nullptr || n < 1) return;
  const double* xy = metric_.Data();
  BOUND b = {xy[0], xy[1], xy[0], xy[1]};
  for (int32_t i = 1; i < n; ++i) {
    double x = xy[2 * i];
    double y = xy[2 * i + 1];
    if (x < b.minx) b.minx = x;
    if (x > b.maxx) b.maxx = x;
    if (y < b.miny) b.miny = y;
    if (y > b.maxy) b.maxy = y;
  }
  *bound = b;
}

bool TSpatialReader::SetPosition(int64_t position) {
  ForgetRecord();
  if (position < 0 || position >= file_->Size()) return false;
  next_ = position;
  state_ = State::kHeader;
  return ReadNext();
}

// Lines are taken in place from the mapped window, by the rules of the text
// file reader's ReadLine: at most kLineLength characters, a CR, LF, CR LF or
// LF CR ending the line; a longer line comes in pieces.
bool TSpatialReader::FetchLine(const char** begin, const char** end) {
  const int64_t size = file_->Size();
  if (next_ >= size) return false;
  int64_t available = size - next_;
  if (available > kLineLength + 2) available = kLineLength + 2;
  const char* data = reinterpret_cast<const char*>(file_->MapRange(next_, available));
  if (data == nullptr) return false;
  const int64_t limit = available < kLineLength ? available : kLineLength;
  int64_t i = 0;
  while (i < limit && !Is(data[i], kLineEnd | kNul)) ++i;
  *begin = data;
  *end = data + i;
  if (i < limit && data[i] == '\0') {
    // The text stops at a NUL; the line still ends at its line end.
    while (i < limit && !Is(data[i], kLineEnd)) ++i;
  }
  if (i < limit) {
    char partner = data[i] == '\r' ? '\n' : '\r';
    ++i;
    if (i < available && data[i] == partner) ++i;
  }
  next_ += i;
  return true;
}

bool TSpatialReader::ReadNext() {
  ForgetRecord();
  Line line;
  const char* begin = nullptr;
  const char* end = nullptr;
  for (;;) {
    int64_t line_position = next_;
    if (!FetchLine(&begin, &end)) {
      state_ = State::kHeader;  // a record cut off by the end is dropped
      return false;
    }
    Classify(begin, end, &line);
    if (line.line_class == LineClass::kBlank) continue;
    try {
      if (Step(line, line_position)) {
        PublishRecord();
        return true;
      }
    } catch (...) {
      state_ = State::kHeader;
      throw;
    }
  }
}

void TSpatialReader::Classify(const char* p, const char* end, Line* line) const {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  if (p == end || *p == ';') {
    line->line_class = LineClass::kBlank;
  } else if (IsLetter(*p)) {
    ClassifyHeader(p, end, line);
  } else {
    ClassifyNumbers(p, end, line);
  }
}

void TSpatialReader::ClassifyHeader(const char* p, const char* end, Line* line) const {
  line->line_class = LineClass::kError;
  const char* word_end = p;
  while (word_end < end && !Is(*word_end, kKindDelimiter)) ++word_end;
  size_t length = static_cast<size_t>(word_end - p);
  if (length > kKindLetters.size()) return;
  char upper[16];
  for (size_t i = 0; i < length; ++i) {
    char c = p[i];
    upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  size_t at = kKindLetters.find(std::string_view(upper, length));
  if (at == std::string_view::npos) return;
  int32_t kind = 0;
  switch (kKindLetters[at]) {
    case 'P':
      kind = kKindPoint;
      break;
    case 'L':
      kind = kKindLine;
      break;
    case 'R':
      kind = kKindRegion;
      break;
    case 'T':
      kind = kKindText;
      break;
    case 'M':
      kind = kKindMixed;
      break;
    default:
      return;
  }
  // The id token starts after the one delimiter that ended the keyword.
  if (word_end == end) return;
  const char* q = word_end + 1;
  while (q < end && Is(*q, kIdDelimiter)) ++q;
  if (q == end) return;
  const char* id_end = q;
  while (id_end < end && !Is(*id_end, kIdDelimiter)) ++id_end;
  int32_t id = AtoiRule(q, id_end);
  if (id == 0) return;
  line->line_class = LineClass::kHeader;
  line->id = id;
  line->kind = kind;
}

void TSpatialReader::ClassifyNumbers(const char* p, const char* end, Line* line) const {
  const char* begin[3];
  const char* stop[3];
  int tokens = 0;
  while (tokens < 3) {
    while (p < end && Is(*p, kNumberDelimiter)) ++p;
    if (p == end) break;
    begin[tokens] = p;
    while (p < end && !Is(*p, kNumberDelimiter)) ++p;
    stop[tokens] = p;
    ++tokens;
  }
  if (tokens == 0) {
    line->line_class = LineClass::kError;
  } else if (tokens == 1) {
    line->line_class = LineClass::kCount;
    line->count = AtoiRule(begin[0], stop[0]);
  } else {
    line->line_class = LineClass::kVertex;
    line->x = Coordinate(begin[0], stop[0]);
    line->y = Coordinate(begin[1], stop[1]);
    line->has_z = (tokens == 3);
    if (line->has_z) {
      // Heights go through the library's own decimal parser, which wants a
      // terminated text.
      char z[kLineLength + 1];
      size_t n = static_cast<size_t>(stop[2] - begin[2]);
      std::memcpy(z, begin[2], n);
      z[n] = '\0';
      line->z = StrToDouble(z);
    } else {
      line->z = kNoHeight;
    }
  }
}

int64_t TSpatialReader::RemainingCapacity(int64_t per_item) const {
  return (file_->Size() - next_) / per_item + 1;
}

bool TSpatialReader::Step(const Line& line, int64_t line_position) {
  if (line.line_class == LineClass::kError) Raise(kErrorInSpatialFile);
  switch (state_) {
    case State::kHeader:
      if (line.line_class != LineClass::kHeader) Raise(kUnknownLocalization);
      position_ = line_position;
      id_ = line.id;
      kind_ = line.kind;
      has_z_ = true;
      state_ = State::kVectorCount;
      return false;

    case State::kVectorCount: {
      if (line.line_class != LineClass::kCount) Raise(kVectorCountExpected);
      if (line.count < 1) Raise(kVectorCountIsNull);
      vector_count_ = line.count;
      sizes_.Clear();
      starts_.Clear();
      metric_.Clear();
      z_.Clear();
      vector_index_ = 0;
      vertex_in_vector_ = 0;
      announced_vertices_ = 0;
      // Every vector takes at least a count line and a vertex line: a count the
      // rest of the file cannot hold reserves no more than it could.
      int32_t reserve =
          static_cast<int32_t>(std::min<int64_t>(vector_count_, RemainingCapacity(6)));
      sizes_.Reserve(reserve);
      starts_.Reserve(reserve);
      state_ = State::kVertexCount;
      return false;
    }

    case State::kVertexCount: {
      if (line.line_class != LineClass::kCount) Raise(kVertexCountExpected);
      int32_t start =
          vector_index_ == 0 ? 0 : starts_[vector_index_ - 1] + sizes_[vector_index_ - 1];
      sizes_.Add(line.count);
      starts_.Add(start);
      if (line.count < 1) Raise(kVertexCountIsNull);
      announced_vertices_ += line.count;
      if (announced_vertices_ > kMaxRecordVertices) Raise(kErrorInSpatialFile);
      int64_t reserve = std::min<int64_t>(line.count, RemainingCapacity(3));
      metric_.Reserve(metric_.Count() + static_cast<int32_t>(2 * reserve));
      z_.Reserve(z_.Count() + static_cast<int32_t>(reserve));
      vertex_in_vector_ = 0;
      state_ = State::kVertices;
      return false;
    }

    case State::kVertices:
      if (line.line_class != LineClass::kVertex) Raise(kErrorInSpatialFile);
      metric_.Add(line.x);
      metric_.Add(line.y);
      z_.Add(line.z);
      if (!line.has_z) has_z_ = false;
      if (++vertex_in_vector_ < sizes_[vector_index_]) return false;
      ++vector_index_;
      if (vector_index_ < vector_count_) {
        state_ = State::kVertexCount;
        return false;
      }
      state_ = State::kHeader;
      return true;
  }
  return false;
}

}  // namespace orvo
