// The spatial writer handle: one text or binary spatial writer.
#ifndef VECTOR_SPATIAL_WRITER_EX_H_
#define VECTOR_SPATIAL_WRITER_EX_H_

#include <cstdint>
#include <string>

#include "base/holders.h"
#include "vector/spatial_io.h"

namespace orvo {

class TSpatialWriterEx {
 public:
  // Creates the spatial file of the named layer: the binary form for a name
  // ending in .bspatial or .battribute (any case), the text form otherwise;
  // the file is the name with its extension replaced by ".bspatial" or
  // ".spatial". An existing file is replaced. Throws "can't open file".
  static TSpatialWriterEx* Create(const char* file_name);
  // Creates the file as named, in the form the flag selects.
  static TSpatialWriterEx* CreateEx(const char* file_name, bool binary);

  // Completes the file (the binary header is rewritten) and closes it.
  virtual ~TSpatialWriterEx();
  TSpatialWriterEx(const TSpatialWriterEx&) = delete;
  TSpatialWriterEx& operator=(const TSpatialWriterEx&) = delete;

  // Write one record and return the position at which it starts. Records the
  // readers could not read back raise "bad spatial record" and write nothing;
  // AddRecord3D requires the heights.
  int64_t AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts, const double* metric,
                    int32_t vector_count);
  int64_t AddRecord3D(int32_t id, int32_t kind, const int32_t* vertex_counts, const double* metric,
                      int32_t vector_count, const double* z);

 private:
  TSpatialWriterEx(const std::string& file_name, bool binary);

  TPtr<ISpatialWriter> writer_;  // of the form chosen at creation
};

}  // namespace orvo

#endif  // VECTOR_SPATIAL_WRITER_EX_H_
