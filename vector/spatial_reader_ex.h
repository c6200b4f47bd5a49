// The spatial reader handle: one text or binary spatial reader and the
// optional spatial index that orders the walk and carries network links.
#ifndef VECTOR_SPATIAL_READER_EX_H_
#define VECTOR_SPATIAL_READER_EX_H_

#include <cstdint>
#include <string>

#include "base/holders.h"
#include "orvoapi.h"
#include "vector/spatial_index.h"
#include "vector/spatial_io.h"

namespace orvo {

class TSpatialReaderEx {
 public:
  // Opens the named layer: the binary form for a name ending in .bspatial or
  // .battribute, the text form otherwise; the spatial file is the name with
  // its extension replaced by ".bspatial" or ".spatial". Throws when the file
  // cannot be opened or is not a binary spatial file.
  static TSpatialReaderEx* Open(const char* file_name);
  // Opens the file as named, in the form the flag selects.
  static TSpatialReaderEx* OpenEx(const char* file_name, bool binary);

  virtual ~TSpatialReaderEx();
  TSpatialReaderEx(const TSpatialReaderEx&) = delete;
  TSpatialReaderEx& operator=(const TSpatialReaderEx&) = delete;

  // With an index the walk is in ascending id order and the reader follows
  // the index cursor; without one it is in file order.
  void Reset();
  bool Next() { return index_ ? NextInIndex() : reader_->ReadNext(); }
  // Repeat Next until a point (node) or a line (edge) has been read.
  bool NextNode();
  bool NextEdge();
  bool SetPosition(int64_t position);
  // Moves the index cursor to the id and reads its record; false without an
  // index or for an id the index does not hold.
  bool FindPosition(int32_t id);

  // Fields of the current record; neutral (0, kind -1, null) without one.
  // Defined here: a host's walk calls them for every record.
  int32_t GetId() const { return reader_->GetId(); }
  int32_t GetLocal() const { return reader_->GetKind(); }
  int32_t GetLocal3D() const { return reader_->GetLocal3D(); }
  int32_t GetVectorCount() const { return reader_->GetVectorCount(); }
  int32_t GetVertexCount() const { return reader_->GetVertexCount(); }
  const int32_t* GetVectorSize() const { return reader_->GetVectorSize(); }
  const int32_t* GetVectorPos() const { return reader_->GetVectorPos(); }
  const double* GetMetric() const { return reader_->GetMetric(); }
  const double* GetZ() const { return reader_->GetZ(); }
  // Binary form: the stored record bound; text form: the bound of the
  // record's vertices. Writes nothing without a record or for a null pointer.
  void GetBound(BOUND* bound) const { reader_->CopyBound(bound); }
  int64_t GetPosition() const { return reader_->GetSpatialPosition(); }
  int64_t GetSize() const { return reader_->GetSize(); }

  bool IsNetwork() const { return index_ != nullptr; }
  // Index fields of the current index entry; 0 without an index or entry
  // (GetSpatialPosition falls back to the record position without an index).
  int64_t GetSpatialPosition() const;
  int64_t GetAttributePosition() const;
  int32_t GetLeftFace() const;
  int32_t GetRightFace() const;
  int32_t GetLeftEdge() const;
  int32_t GetRightEdge() const;
  int32_t GetStartPoint() const;
  int32_t GetEndPoint() const;
  // Fills *record from the current index entry (kind with height from the
  // reader); false without an index or entry, or for a null pointer. The
  // record's alignment gap is not written.
  bool GetIndexRecord(SPATIALINDEXRECORD* record) const;

 private:
  TSpatialReaderEx(const std::string& spatial_name, const std::string& index_name, bool binary);
  bool NextInIndex();  // Next along the index cursor
  const TSpatialIndexEx::SI* Entry() const { return index_ ? index_->Current() : nullptr; }
  bool NextOfKind(int32_t kind);

  TPtr<ISpatialReader> reader_;  // of the form chosen at opening
  TPtr<TSpatialIndexEx> index_;
};

}  // namespace orvo

#endif  // VECTOR_SPATIAL_READER_EX_H_
