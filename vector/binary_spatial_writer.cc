// Binary spatial writer: each record assembled in place in the file's buffer,
// the header rewritten at the end.
#include "vector/binary_spatial_writer.h"

#include <cstring>

#include "base/errors.h"
#include "vector/spatial_record.h"

namespace orvo {

TBinarySpatialWriter::TBinarySpatialWriter(const char* file_name)
    : file_(std::make_unique<TFileWriter64>(file_name, kBufferRequest)) {
  if (!file_->Write(&header_, sizeof header_)) Raise(kSpatialWriteFailed);
}

TBinarySpatialWriter::~TBinarySpatialWriter() {
  // A record whose write failed part way may have left bytes past the last
  // complete record: cover them with a record of id 0, which readers skip, so
  // that the header's size matches the file.
  int64_t gap = file_->LogicalSize() - header_.file_size;
  if (gap >= kRecordHeadSize && gap <= INT32_MAX) {
    BinaryRecordHead filler = {static_cast<int32_t>(gap), {0.0, 0.0, 0.0, 0.0}, 0, 0, 0, 0};
    uint8_t bytes[kRecordHeadSize];
    EncodeRecordHead(filler, bytes);
    file_->Seek(header_.file_size);
    if (file_->Write(bytes, sizeof bytes)) header_.file_size += gap;
  }
  file_->Seek(0);
  file_->Write(&header_, sizeof header_);
}

int64_t TBinarySpatialWriter::AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts,
                                        const double* metric, int32_t vector_count,
                                        const double* z) {
  int32_t n = CheckSpatialRecord(id, vertex_counts, metric, vector_count);
  bool has_z = (z != nullptr);
  int32_t stored_kind = (has_z && kind < 10) ? kind + kKindHeightOffset : kind;
  if (BinaryKindHasZ(stored_kind) != has_z) Raise(kBadSpatialRecord);

  starts_.Resize(vector_count);
  int32_t start = 0;
  for (int32_t v = 0; v < vector_count; ++v) {
    starts_[v] = start;
    start += vertex_counts[v];
  }

  BinaryRecordHead head;
  // Written as selections so that they compile to min/max instructions; a
  // value is taken only when it compares below (above) the bound so far.
  double minx = metric[0], maxx = metric[0], miny = metric[1], maxy = metric[1];
  for (int32_t i = 1; i < n; ++i) {
    double x = metric[2 * i];
    double y = metric[2 * i + 1];
    minx = x < minx ? x : minx;
    maxx = x > maxx ? x : maxx;
    miny = y < miny ? y : miny;
    maxy = y > maxy ? y : maxy;
  }
  head.bound[0] = minx;
  head.bound[1] = miny;
  head.bound[2] = maxx;
  head.bound[3] = maxy;
  int64_t size = BinaryRecordSize(vector_count, n, has_z);  // fits: n is limited
  head.size = static_cast<int32_t>(size);
  head.id = id;
  head.kind = stored_kind;
  head.vertex_count = n;
  head.vector_count = vector_count;

  int64_t position = file_->Tell();
  uint8_t* out = file_->MapRange(position, size);
  if (out == nullptr) Raise(kSpatialWriteFailed);
  EncodeRecordHead(head, out);
  out += kRecordHeadSize;
  std::memcpy(out, starts_.Data(), 4 * static_cast<size_t>(vector_count));
  out += 4 * static_cast<size_t>(vector_count);
  std::memcpy(out, metric, 16 * static_cast<size_t>(n));
  out += 16 * static_cast<size_t>(n);
  if (has_z) {
    double range[2] = {z[0], z[0]};
    for (int32_t i = 1; i < n; ++i) {
      range[0] = z[i] < range[0] ? z[i] : range[0];
      range[1] = z[i] > range[1] ? z[i] : range[1];
    }
    std::memcpy(out, range, sizeof range);
    std::memcpy(out + sizeof range, z, 8 * static_cast<size_t>(n));
  }
  file_->Seek(position + size);

  if (header_.record_count == 0) {
    header_.minx = head.bound[0];
    header_.miny = head.bound[1];
    header_.maxx = head.bound[2];
    header_.maxy = head.bound[3];
  } else {
    if (head.bound[0] < header_.minx) header_.minx = head.bound[0];
    if (head.bound[1] < header_.miny) header_.miny = head.bound[1];
    if (head.bound[2] > header_.maxx) header_.maxx = head.bound[2];
    if (head.bound[3] > header_.maxy) header_.maxy = head.bound[3];
  }
  header_.file_size += size;
  ++header_.record_count;
  return position;
}

}  // namespace orvo
