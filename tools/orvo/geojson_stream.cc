// Feature by feature parsing of GeoJSON through nlohmann's SAX interface.
#include "tools/orvo/geojson_stream.h"

namespace orvotool {

bool FeatureStream::Parse(const char* text, size_t size) {
  return StreamJson::sax_parse(text, text + size, this);
}

// A container opened where the parser is: the root of a feature or
// document, a feature's "geometry", a geometry's "geometries" and their
// members are what the geometry reader walks; anything else is plain JSON.
FeatureStream::Role FeatureStream::RoleOfNew(bool object) {
  const std::vector<OpenContainer>& stack = Stack();
  if (stack.empty()) return object ? Role::kFeature : Role::kOther;
  switch (stack.back().role) {
    case Role::kFeature:
      return object && key_ == "geometry" ? Role::kGeometry : Role::kOther;
    case Role::kGeometry:
      return !object && key_ == "geometries" ? Role::kGeometryList : Role::kOther;
    case Role::kGeometryList:
      return object ? Role::kGeometry : Role::kOther;
    case Role::kOther:
      break;
  }
  return Role::kOther;
}

// Puts v where the parser is: the root of the current tree, the next element
// of the open array or the member of the pending key of the open object.
StreamJson* FeatureStream::Place(StreamJson&& v) {
  std::vector<OpenContainer>& stack = Stack();
  if (stack.empty()) {
    StreamJson& root = streaming_ ? feature_ : top_;
    root = std::move(v);
    return &root;
  }
  StreamJson& parent = *stack.back().value;
  if (parent.is_array()) {
    parent.push_back(std::move(v));
    return &parent.back();
  }
  StreamJson& member = parent[key_];
  member = std::move(v);
  return &member;
}

void FeatureStream::Deliver() {
  on_feature_(feature_, nodes_);
  nodes_.clear();
}

bool FeatureStream::Value(StreamJson&& v) {
  const bool element = streaming_ && feature_stack_.empty();
  Place(std::move(v));
  if (element) Deliver();
  return true;
}

bool FeatureStream::Open(StreamJson&& container, bool object) {
  const Role role = RoleOfNew(object);
  StreamJson* placed = Place(std::move(container));
  Stack().push_back({placed, role});
  return true;
}

bool FeatureStream::Close() {
  std::vector<OpenContainer>& stack = Stack();
  stack.pop_back();
  if (streaming_ && stack.empty()) Deliver();
  return true;
}

bool FeatureStream::start_object(size_t) {
  if (capture_.Active()) {
    capture_.OpenObject();
    return true;
  }
  return Open(StreamJson::object(), /*object=*/true);
}

bool FeatureStream::end_object() {
  if (capture_.Active()) {
    capture_.CloseObject();
    return true;
  }
  return Close();
}

bool FeatureStream::key(std::string& k) {
  if (capture_.Active()) return true;  // keys of objects inside coordinates
  if (saw_features_ && !streaming_ && top_stack_.size() == 1) ++keys_after_features_;
  key_ = std::move(k);
  return true;
}

bool FeatureStream::start_array(size_t) {
  if (capture_.Active()) {
    capture_.OpenArray();
    return true;
  }
  // The features of the top-level object stream; everything else is kept.
  if (!streaming_ && top_stack_.size() == 1 && top_stack_[0].value == &top_ && key_ == "features" &&
      !saw_features_) {
    top_["features"] = StreamJson::array();
    streaming_ = true;
    saw_features_ = true;
    return true;
  }
  const std::vector<OpenContainer>& stack = Stack();
  if (!stack.empty() && stack.back().role == Role::kGeometry && key_ == "coordinates") {
    capture_root_ = capture_.Start(&nodes_);
    return true;
  }
  return Open(StreamJson::array(), /*object=*/false);
}

bool FeatureStream::end_array() {
  if (capture_.Active()) {
    if (capture_.CloseArray()) Place(StreamJson::binary({}, capture_root_));
    return true;
  }
  if (streaming_ && feature_stack_.empty()) {
    streaming_ = false;
    return true;
  }
  return Close();
}

}  // namespace orvotool
