// Binary spatial reader: record heads checked before anything is handed out.
#include "vector/binary_spatial_reader64.h"

#include <cstring>

#include "base/errors.h"
#include "vector/spatial_record.h"

namespace orvo {

const char kBadBspatialFormat[] = "bad bspatial file format";
const char kErrorInBspatial[] = "error in bspatial file";

TBinarySpatialReader64::TBinarySpatialReader64(const char* file_name)
    : file_(std::make_unique<TFileReader64>(file_name, kWindowRequest)) {
  const uint8_t* p = file_->MapRange(0, kBinarySpatialHeaderSize);
  if (p == nullptr) Raise(kCantOpenFile);
  std::memcpy(&header_, p, sizeof header_);
  if (header_.file_size != file_->Size()) Raise(kBadBspatialFormat);
  Reset();
}

TBinarySpatialReader64::~TBinarySpatialReader64() = default;

void TBinarySpatialReader64::Reset() {
  next_ = kBinarySpatialHeaderSize;
  ForgetRecord();
}

void TBinarySpatialReader64::ForgetRecord() {
  record_ = nullptr;
  sizes_ready_ = false;
  ClearCurrent();
}

bool TBinarySpatialReader64::SetPosition(int64_t position) {
  ForgetRecord();
  // No record starts inside the header; reading there would take header
  // bytes for a record.
  if (position < kBinarySpatialHeaderSize) Raise(kErrorInBspatial);
  next_ = position;
  return ReadNext();
}

bool TBinarySpatialReader64::ReadNext() {
  if (record_ != nullptr) ForgetRecord();
  const int64_t file_size = file_->Size();
  for (;;) {
    if (next_ >= file_size) return false;
    const uint8_t* p = file_->MapRange(next_, kRecordHeadSize);
    if (p == nullptr) Raise(kErrorInBspatial);
    // Only the fields the walk needs; the bound is read from the record when
    // asked for.
    const int32_t size = LoadInt32(p + kRecordSizeOffset);
    const int32_t id = LoadInt32(p + kRecordIdOffset);
    // Every step moves forward by at least a head, and never past the end.
    if (size < kRecordHeadSize || size > file_size - next_) Raise(kErrorInBspatial);
    if (id == 0) {
      next_ += size;
      continue;
    }
    const int32_t kind = LoadInt32(p + kRecordKindOffset);
    const int32_t vertex_count = LoadInt32(p + kRecordVertexCountOffset);
    const int32_t vector_count = LoadInt32(p + kRecordVectorCountOffset);
    const bool has_z = BinaryKindHasZ(kind);
    if (vector_count < 0 || vertex_count < 0 || (vector_count == 0 && vertex_count != 0) ||
        BinaryRecordSize(vector_count, vertex_count, has_z) > size) {
      Raise(kErrorInBspatial);
    }
    p = file_->MapRange(next_, size);
    if (p == nullptr) Raise(kErrorInBspatial);
    // Vector starts must begin at 0 and rise within the vertices, so that a
    // caller indexing the metric by them stays inside the record.
    const uint8_t* starts = p + kRecordHeadSize;
    int32_t previous = 0;
    for (int32_t v = 0; v < vector_count; ++v) {
      int32_t start = LoadInt32(starts + 4 * static_cast<size_t>(v));
      if ((v == 0 && start != 0) || start < previous || start > vertex_count) {
        Raise(kErrorInBspatial);
      }
      previous = start;
    }
    record_ = p;
    position_ = next_;
    next_ += size;
    current_.id = id;
    current_.kind = has_z ? kind - kKindHeightOffset : kind;
    current_.local3d = kind;
    current_.vector_count = vector_count;
    current_.vertex_count = vertex_count;
    current_.vector_pos = reinterpret_cast<const int32_t*>(starts);
    current_.metric =
        reinterpret_cast<const double*>(starts + 4 * static_cast<size_t>(vector_count));
    return true;
  }
}

const int32_t* TBinarySpatialReader64::GetVectorSize() const {
  if (!record_) return nullptr;
  if (!sizes_ready_) {
    int32_t v = current_.vector_count;
    sizes_.Resize(v);
    const uint8_t* starts = record_ + kRecordHeadSize;
    for (int32_t i = 0; i < v; ++i) {
      int32_t start = LoadInt32(starts + 4 * static_cast<size_t>(i));
      int32_t next =
          (i + 1 < v) ? LoadInt32(starts + 4 * static_cast<size_t>(i + 1)) : current_.vertex_count;
      sizes_[i] = next - start;
    }
    sizes_ready_ = true;
  }
  return sizes_.Data();
}

void TBinarySpatialReader64::CopyBound(BOUND* bound) const {
  if (record_ != nullptr && bound != nullptr) {
    std::memcpy(bound, record_ + kRecordBoundOffset, sizeof *bound);
  }
}

const double* TBinarySpatialReader64::GetZ() const {
  if (!record_ || !BinaryKindHasZ(current_.local3d)) return nullptr;
  return reinterpret_cast<const double*>(record_ + kRecordHeadSize + 16 +
                                         4 * static_cast<size_t>(current_.vector_count) +
                                         16 * static_cast<size_t>(current_.vertex_count));
}

}  // namespace orvo
