// Text spatial writer: formats whole records and appends them to the file.
#include "vector/text_spatial_writer.h"

#include <charconv>
#include <cstring>

#include "base/errors.h"
#include "base/strings.h"
#include "vector/spatial_record.h"

namespace orvo {

namespace {

void AppendInt(std::string& out, int32_t value) {
  char digits[16];
  std::to_chars_result r = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, r.ptr);
}

inline void Widen(BOUND& bound, double x, double y) {
  if (x < bound.minx) bound.minx = x;
  if (x > bound.maxx) bound.maxx = x;
  if (y < bound.miny) bound.miny = y;
  if (y > bound.maxy) bound.maxy = y;
}

}  // namespace

TSpatialWriter::TSpatialWriter(const char* file_name)
    : file_(std::make_unique<TFileWriter64>(file_name, kBufferRequest)) {}

TSpatialWriter::~TSpatialWriter() {
  // A write that failed part way may have left bytes past the last complete
  // record; blank them (blank lines are skipped by the reader) so that the
  // file reads back as the records that were reported written.
  int64_t gap = file_->LogicalSize() - end_;
  if (gap <= 0) return;
  static const char kBlanks[] = "                                                                ";
  file_->Seek(end_);
  while (gap > 2) {
    int64_t n = gap - 2 < 64 ? gap - 2 : 64;
    if (!file_->Write(kBlanks, n)) return;
    gap -= n;
  }
  file_->Write("\r\n", gap);
}

int64_t TSpatialWriter::AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts,
                                  const double* metric, int32_t vector_count, const double* z) {
  CheckSpatialRecord(id, vertex_counts, metric, vector_count);
  int64_t position = file_->Tell();
  BOUND bound = has_bound_ ? bound_ : BOUND{metric[0], metric[1], metric[0], metric[1]};
  text_.clear();
  text_.append(SpatialKindName(kind));
  text_.push_back(' ');
  AppendInt(text_, id);
  text_.append("\r\n");
  AppendInt(text_, vector_count);
  text_.append("\r\n");
  const double* xy = metric;
  const double* h = z;
  for (int32_t v = 0; v < vector_count; ++v) {
    AppendInt(text_, vertex_counts[v]);
    text_.append("\r\n");
    for (int32_t i = 0; i < vertex_counts[v]; ++i, xy += 2) {
      Widen(bound, xy[0], xy[1]);
      AppendDouble(text_, xy[0]);
      text_.push_back(',');
      AppendDouble(text_, xy[1]);
      if (h != nullptr) {
        text_.push_back(',');
        AppendDouble(text_, *h++);
      }
      text_.append("\r\n");
      if (text_.size() >= kFlushSize) Flush(position);
    }
  }
  text_.append("\r\n");
  Flush(position);
  end_ = file_->Tell();
  bound_ = bound;
  has_bound_ = true;
  return position;
}

void TSpatialWriter::Flush(int64_t record_position) {
  bool written = file_->Write(text_.data(), static_cast<int64_t>(text_.size()));
  text_.clear();
  if (!written) {
    // The next record starts where this one did; the destructor blanks any
    // bytes left beyond the last complete record.
    file_->Seek(record_position);
    Raise(kSpatialWriteFailed);
  }
}

}  // namespace orvo
