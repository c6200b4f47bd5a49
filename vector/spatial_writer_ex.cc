// Spatial writer handle: chooses the form and forwards every record.
#include "vector/spatial_writer_ex.h"

#include "base/errors.h"
#include "vector/binary_spatial_writer.h"
#include "vector/layer_name.h"
#include "vector/spatial_record.h"
#include "vector/text_spatial_writer.h"

namespace orvo {

TSpatialWriterEx* TSpatialWriterEx::Create(const char* file_name) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  std::string name = file_name;
  bool binary = IsBinaryLayerName(name);
  return new TSpatialWriterEx(LayerFileName(name, binary ? ".bspatial" : ".spatial"), binary);
}

TSpatialWriterEx* TSpatialWriterEx::CreateEx(const char* file_name, bool binary) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  return new TSpatialWriterEx(file_name, binary);
}

TSpatialWriterEx::TSpatialWriterEx(const std::string& file_name, bool binary) {
  if (binary) {
    writer_ = std::make_unique<TBinarySpatialWriter>(file_name.c_str());
  } else {
    writer_ = std::make_unique<TSpatialWriter>(file_name.c_str());
  }
}

TSpatialWriterEx::~TSpatialWriterEx() = default;

int64_t TSpatialWriterEx::AddRecord(int32_t id, int32_t kind, const int32_t* vertex_counts,
                                    const double* metric, int32_t vector_count) {
  return writer_->AddRecord(id, kind, vertex_counts, metric, vector_count, nullptr);
}

int64_t TSpatialWriterEx::AddRecord3D(int32_t id, int32_t kind, const int32_t* vertex_counts,
                                      const double* metric, int32_t vector_count, const double* z) {
  if (z == nullptr) Raise(kBadSpatialRecord);
  return writer_->AddRecord(id, kind, vertex_counts, metric, vector_count, z);
}

}  // namespace orvo
