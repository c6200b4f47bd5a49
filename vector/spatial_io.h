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

  // The fields a walk asks for on every record are kept here by the reader as
  // it reads, so that they are answered without a virtual call.
  int32_t GetId() const { return current_.id; }
  int32_t GetKind() const { return current_.kind; }        // without height
  int32_t GetLocal3D() const { return current_.local3d; }  // kind + 10 with height
  int32_t GetVectorCount() const { return current_.vector_count; }
  int32_t GetVertexCount() const { return current_.vertex_count; }
  const int32_t* GetVectorPos() const { return current_.vector_pos; }
  const double* GetMetric() const { return current_.metric; }

  virtual const int32_t* GetVectorSize() const = 0;
  virtual const double* GetZ() const = 0;
  // The bound of the current record; writes nothing without one.
  virtual void CopyBound(BOUND* bound) const = 0;
  virtual int64_t GetSpatialPosition() const = 0;
  virtual int64_t GetSize() const = 0;

 protected:
  struct CurrentRecord {
    int32_t id = 0;
    int32_t kind = -1;
    int32_t local3d = -1;
    int32_t vector_count = 0;
    int32_t vertex_count = 0;
    const int32_t* vector_pos = nullptr;
    const double* metric = nullptr;
  };
  // Neutral fields: no current record.
  void ClearCurrent() { current_ = CurrentRecord(); }

  CurrentRecord current_;
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
