// Spatial reader handle: the reader of the layer's form, chosen at opening,
// and walks through the index.
#include "vector/spatial_reader_ex.h"

#include "base/errors.h"
#include "base/strings.h"
#include "vector/binary_spatial_reader64.h"
#include "vector/layer_name.h"
#include "vector/text_spatial_reader.h"

namespace orvo {

TSpatialReaderEx* TSpatialReaderEx::Open(const char* file_name) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  std::string name = file_name;
  bool binary = IsBinaryLayerName(name);
  std::string spatial = LayerFileName(name, binary ? ".bspatial" : ".spatial");
  return new TSpatialReaderEx(spatial, ChangeExt(name, binary ? ".bindex" : ".index"), binary);
}

TSpatialReaderEx* TSpatialReaderEx::OpenEx(const char* file_name, bool binary) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  std::string name = file_name;
  return new TSpatialReaderEx(name, ChangeExt(name, binary ? ".bindex" : ".index"), binary);
}

TSpatialReaderEx::TSpatialReaderEx(const std::string& spatial_name, const std::string& index_name,
                                   bool binary) {
  auto index = std::make_unique<TSpatialIndexEx>();
  if (binary) {
    reader_ = std::make_unique<TBinarySpatialReader64>(spatial_name.c_str());
    if (index->LoadBinary(index_name.c_str())) index_ = std::move(index);
  } else {
    reader_ = std::make_unique<TSpatialReader>(spatial_name.c_str());
    if (index->LoadText(index_name.c_str())) index_ = std::move(index);
  }
}

TSpatialReaderEx::~TSpatialReaderEx() = default;

void TSpatialReaderEx::Reset() {
  reader_->Reset();
  if (index_) index_->Reset();
}

bool TSpatialReaderEx::NextInIndex() {
  if (!index_->Next()) {
    // Past the last entry no record is current.
    reader_->Reset();
    return false;
  }
  return SetPosition(index_->Current()->spatial_position);
}

bool TSpatialReaderEx::NextOfKind(int32_t kind) {
  while (Next()) {
    if (GetLocal3D() % 10 == kind) return true;
  }
  return false;
}

bool TSpatialReaderEx::NextNode() { return NextOfKind(1); }
bool TSpatialReaderEx::NextEdge() { return NextOfKind(2); }

bool TSpatialReaderEx::SetPosition(int64_t position) { return reader_->SetPosition(position); }

bool TSpatialReaderEx::FindPosition(int32_t id) {
  if (!index_ || !index_->Find(id)) return false;
  return SetPosition(index_->Current()->spatial_position);
}

int64_t TSpatialReaderEx::GetSpatialPosition() const {
  if (!index_) return GetPosition();
  const TSpatialIndexEx::SI* entry = Entry();
  return entry ? entry->spatial_position : 0;
}

int64_t TSpatialReaderEx::GetAttributePosition() const {
  const TSpatialIndexEx::SI* entry = Entry();
  return entry ? entry->attribute_position : 0;
}

int32_t TSpatialReaderEx::GetLeftFace() const { return Entry() ? Entry()->left_face : 0; }
int32_t TSpatialReaderEx::GetRightFace() const { return Entry() ? Entry()->right_face : 0; }
int32_t TSpatialReaderEx::GetLeftEdge() const { return Entry() ? Entry()->left_edge : 0; }
int32_t TSpatialReaderEx::GetRightEdge() const { return Entry() ? Entry()->right_edge : 0; }
int32_t TSpatialReaderEx::GetStartPoint() const { return Entry() ? Entry()->start_point : 0; }
int32_t TSpatialReaderEx::GetEndPoint() const { return Entry() ? Entry()->end_point : 0; }

bool TSpatialReaderEx::GetIndexRecord(SPATIALINDEXRECORD* record) const {
  const TSpatialIndexEx::SI* entry = Entry();
  if (record == nullptr || entry == nullptr) return false;
  record->local3d = GetLocal3D();
  record->left_edge = entry->left_edge;
  record->right_edge = entry->right_edge;
  record->start_point = entry->start_point;
  record->end_point = entry->end_point;
  record->left_face = entry->left_face;
  record->right_face = entry->right_face;
  record->bound = entry->bound;
  return true;
}

}  // namespace orvo
