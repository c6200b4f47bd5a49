// Binary spatial reader: record heads checked before anything is handed out.
#include "vector/binary_spatial_reader64.h"

#include <cstring>

#include "base/errors.h"

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
  record_ = nullptr;
  sizes_ready_ = false;
}

int32_t TBinarySpatialReader64::GetKind() const {
  if (!record_) return -1;
  return BinaryKindHasZ(head_.kind) ? head_.kind - 10 : head_.kind;
}

bool TBinarySpatialReader64::SetPosition(int64_t position) {
  record_ = nullptr;
  sizes_ready_ = false;
  // No record starts inside the header; reading there would take header
  // bytes for a record.
  if (position < kBinarySpatialHeaderSize) Raise(kErrorInBspatial);
  next_ = position;
  return ReadNext();
}

bool TBinarySpatialReader64::ReadNext() {
  record_ = nullptr;
  sizes_ready_ = false;
  const int64_t file_size = file_->Size();
  for (;;) {
    if (next_ >= file_size) return false;
    const uint8_t* p = file_->MapRange(next_, kRecordHeadSize);
    if (p == nullptr) Raise(kErrorInBspatial);
    BinaryRecordHead head;
    DecodeRecordHead(p, &head);
    // Every step moves forward by at least a head, and never past the end.
    if (head.size < kRecordHeadSize || head.size > file_size - next_) Raise(kErrorInBspatial);
    if (head.id == 0) {
      next_ += head.size;
      continue;
    }
    if (head.vector_count < 0 || head.vertex_count < 0 ||
        (head.vector_count == 0 && head.vertex_count != 0) ||
        BinaryRecordSize(head.vector_count, head.vertex_count, BinaryKindHasZ(head.kind)) >
            head.size) {
      Raise(kErrorInBspatial);
    }
    p = file_->MapRange(next_, head.size);
    if (p == nullptr) Raise(kErrorInBspatial);
    // Vector starts must begin at 0 and rise within the vertices, so that a
    // caller indexing the metric by them stays inside the record.
    const uint8_t* starts = p + kRecordHeadSize;
    int32_t previous = 0;
    for (int32_t v = 0; v < head.vector_count; ++v) {
      int32_t start = LoadInt32(starts + 4 * static_cast<size_t>(v));
      if ((v == 0 && start != 0) || start < previous || start > head.vertex_count) {
        Raise(kErrorInBspatial);
      }
      previous = start;
    }
    // Field by field: the bound is read from the record when asked for, and a
    // whole-struct copy of the just-decoded head stalls on store forwarding.
    head_.size = head.size;
    head_.id = head.id;
    head_.kind = head.kind;
    head_.vertex_count = head.vertex_count;
    head_.vector_count = head.vector_count;
    record_ = p;
    position_ = next_;
    next_ += head.size;
    return true;
  }
}

const int32_t* TBinarySpatialReader64::GetVectorPos() const {
  if (!record_) return nullptr;
  return reinterpret_cast<const int32_t*>(record_ + kRecordHeadSize);
}

const int32_t* TBinarySpatialReader64::GetVectorSize() const {
  if (!record_) return nullptr;
  if (!sizes_ready_) {
    int32_t v = head_.vector_count;
    sizes_.Resize(v);
    const uint8_t* starts = record_ + kRecordHeadSize;
    for (int32_t i = 0; i < v; ++i) {
      int32_t start = LoadInt32(starts + 4 * static_cast<size_t>(i));
      int32_t next =
          (i + 1 < v) ? LoadInt32(starts + 4 * static_cast<size_t>(i + 1)) : head_.vertex_count;
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

const double* TBinarySpatialReader64::GetMetric() const {
  if (!record_) return nullptr;
  return reinterpret_cast<const double*>(record_ + kRecordHeadSize +
                                         4 * static_cast<size_t>(head_.vector_count));
}

const double* TBinarySpatialReader64::GetZ() const {
  if (!record_ || !BinaryKindHasZ(head_.kind)) return nullptr;
  return reinterpret_cast<const double*>(record_ + kRecordHeadSize + 16 +
                                         4 * static_cast<size_t>(head_.vector_count) +
                                         16 * static_cast<size_t>(head_.vertex_count));
}

}  // namespace orvo
