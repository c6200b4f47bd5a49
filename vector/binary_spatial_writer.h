// Writer of the binary spatial file (".bspatial").
#ifndef VECTOR_BINARY_SPATIAL_WRITER_H_
#define VECTOR_BINARY_SPATIAL_WRITER_H_

#include <cstdint>

#include "base/file_writer64.h"
#include "base/holders.h"
#include "vector/binary_spatial_format.h"
#include "vector/spatial_io.h"

namespace orvo {

// Appends records after a provisional header (size 48, no records, zero
// bound); the destructor rewrites the header with the final size, record
// count and bound.
class TBinarySpatialWriter : public ISpatialWriter {
 public:
  // The write buffer: about a MiB. Handed to the file in pieces this large,
  // a long file is taken into the system's cache in large pieces, which
  // makes both writing it and reading it back cheaper than with small pieces.
  static constexpr uint32_t kBufferRequest = 1000000;

  // Replaces any file of that name. Throws "can't open file".
  explicit TBinarySpatialWriter(const char* file_name);
  ~TBinarySpatialWriter() override;
  TBinarySpatialWriter(const TBinarySpatialWriter&) = delete;
  TBinarySpatialWriter& operator=(const TBinarySpatialWriter&) = delete;

  // Appends one record and returns its offset. With z (one height per vertex)
  // a kind below 10 is stored as kind + 10. Raises "bad spatial record"
  // without writing for a record the reader could not read back: those
  // CheckSpatialRecord refuses, and kinds whose stored value would not say
  // whether Z follows (above 10 without z; 10 or below as stored with z).
  // A failed write raises "can't write spatial file".
  int64_t AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts, const double* metric,
                    int32_t vector_count, const double* z) override;

  // The header as it will be written: size, count and bound so far.
  const BinarySpatialHeader& Header() const { return header_; }

 private:
  TPtr<TFileWriter64> file_;
  BinarySpatialHeader header_ = {kBinarySpatialHeaderSize, 0, 0.0, 0.0, 0.0, 0.0};
  TArray<int32_t> starts_;  // vector starts of the record being written
};

}  // namespace orvo

#endif  // VECTOR_BINARY_SPATIAL_WRITER_H_
