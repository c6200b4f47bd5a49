// Reader of the binary spatial file (".bspatial") of any size, in place
// through a sliding mapped window.
#ifndef VECTOR_BINARY_SPATIAL_READER64_H_
#define VECTOR_BINARY_SPATIAL_READER64_H_

#include <cstdint>

#include "base/file_reader64.h"
#include "base/holders.h"
#include "vector/binary_spatial_format.h"
#include "vector/spatial_io.h"

namespace orvo {

// Messages of the binary spatial reader.
extern const char kBadBspatialFormat[];  // "bad bspatial file format"
extern const char kErrorInBspatial[];    // "error in bspatial file"

// Walks the records in file order, skipping those with id 0. The arrays it
// hands out point into the mapped window: valid until the next read, seek or
// reset, and not necessarily 8-byte aligned. A record that is damaged (size
// smaller than its head or than its counts need, reaching past the end of the
// file, negative counts, vertices but no vector, vector starts not rising
// from 0 within the vertices) raises "error in bspatial file"; the checks
// keep every read inside the record and every step moving forward. Until a record has been read,
// and after a read that failed or reached the end, the accessors give neutral results (0, kind -1,
// null).
class TBinarySpatialReader64 : public ISpatialReader {
 public:
  static constexpr uint32_t kWindowRequest = 1000000;

  // Throws "can't open file" (also for a file shorter than its header) and
  // "bad bspatial file format" when the header's size is not the file's.
  explicit TBinarySpatialReader64(const char* file_name);
  ~TBinarySpatialReader64() override;
  TBinarySpatialReader64(const TBinarySpatialReader64&) = delete;
  TBinarySpatialReader64& operator=(const TBinarySpatialReader64&) = delete;

  // The next read starts at the first record.
  void Reset() override;
  // Reads the next record whose id is not 0; false at the end of the file.
  bool ReadNext() override;
  // Reads the first record with an id not 0 that starts at position. False
  // at or past the end of the file; a position inside the header or before
  // the file raises "error in bspatial file".
  bool SetPosition(int64_t position) override;

  bool HasRecord() const { return record_ != nullptr; }
  // Vertex counts derived from the vector starts; owned by the reader.
  const int32_t* GetVectorSize() const override;
  const double* GetZ() const override;
  // The record's stored bound (four doubles, possibly unaligned); null without
  // a record.
  const uint8_t* GetBound() const { return record_ ? record_ + kRecordBoundOffset : nullptr; }
  void CopyBound(BOUND* bound) const override;
  int64_t GetSpatialPosition() const override { return record_ ? position_ : 0; }
  int64_t GetSize() const override { return file_->Size(); }
  // The file header's bound and record count as stored.
  const BinarySpatialHeader& Header() const { return header_; }

 private:
  void ForgetRecord();

  TPtr<TFileReader64> file_;
  BinarySpatialHeader header_;
  int64_t next_ = kBinarySpatialHeaderSize;  // where the next read starts
  const uint8_t* record_ = nullptr;          // current record in the view, or null
  int64_t position_ = 0;
  // Vertex counts are derived on first request.
  mutable bool sizes_ready_ = false;
  mutable TArray<int32_t> sizes_;
};

}  // namespace orvo

#endif  // VECTOR_BINARY_SPATIAL_READER64_H_
