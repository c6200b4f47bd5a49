// The spatial file of a layer as the handles see it, whichever form it has:
// one reader and one writer interface, implemented by the text and the binary
// classes. The form is chosen once, when the file is opened or created.
#ifndef VECTOR_SPATIAL_IO_H_
#define VECTOR_SPATIAL_IO_H_

#include <cstdint>

#include "orvoapi.h"

namespace orvo {

// A walk over the records of a spatial file. Until a record has been read,
// and after a read that failed or reached the end, the accessors give neutral
// results (0, kind -1, null). The arrays stay valid until the next read, seek
// or reset; those of the binary form may be unaligned.
class ISpatialReader {
 public:
  virtual ~ISpatialReader() = default;

  virtual void Reset() = 0;
  virtual bool ReadNext() = 0;
  virtual bool SetPosition(int64_t position) = 0;

  virtual int32_t GetId() const = 0;
  virtual int32_t GetKind() const = 0;     // without height
  virtual int32_t GetLocal3D() const = 0;  // kind + 10 with height
  virtual int32_t GetVectorCount() const = 0;
  virtual int32_t GetVertexCount() const = 0;
  virtual const int32_t* GetVectorSize() const = 0;
  virtual const int32_t* GetVectorPos() const = 0;
  virtual const double* GetMetric() const = 0;
  virtual const double* GetZ() const = 0;
  // The bound of the current record; writes nothing without one.
  virtual void CopyBound(BOUND* bound) const = 0;
  virtual int64_t GetSpatialPosition() const = 0;
  virtual int64_t GetSize() const = 0;
};

// Appends records to a new spatial file.
class ISpatialWriter {
 public:
  virtual ~ISpatialWriter() = default;

  // Writes one record and returns the position at which it starts; z is null
  // or holds one height per vertex.
  virtual int64_t AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts,
                            const double* metric, int32_t vector_count, const double* z) = 0;
};

}  // namespace orvo

#endif  // VECTOR_SPATIAL_IO_H_
