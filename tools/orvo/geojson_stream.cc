// Feature by feature parsing of GeoJSON through nlohmann's SAX interface.
#include "tools/orvo/geojson_stream.h"

namespace orvotool {

bool FeatureStream::Parse(const char* text, size_t size) {
  return StreamJson::sax_parse(text, text + size, this);
}

// Puts v where the parser is: the root of the current tree, the next element
// of the open array or the member of the pending key of the open object.
StreamJson* FeatureStream::Place(StreamJson&& v) {
  std::vector<StreamJson*>& stack = Stack();
  if (stack.empty()) {
    StreamJson& root = streaming_ ? feature_ : top_;
    root = std::move(v);
    return &root;
  }
  StreamJson& parent = *stack.back();
  if (parent.is_array()) {
    parent.push_back(std::move(v));
    return &parent.back();
  }
  StreamJson& member = parent[key_];
  member = std::move(v);
  return &member;
}

bool FeatureStream::Value(StreamJson&& v) {
  const bool element = streaming_ && feature_stack_.empty();
  Place(std::move(v));
  if (element) on_feature_(feature_);
  return true;
}

bool FeatureStream::Open(StreamJson&& container) {
  StreamJson* placed = Place(std::move(container));
  Stack().push_back(placed);
  return true;
}

bool FeatureStream::Close() {
  std::vector<StreamJson*>& stack = Stack();
  stack.pop_back();
  if (streaming_ && stack.empty()) on_feature_(feature_);
  return true;
}

bool FeatureStream::start_array(size_t) {
  // The features of the top-level object stream; everything else is kept.
  if (!streaming_ && top_stack_.size() == 1 && top_stack_[0] == &top_ && key_ == "features" &&
      !saw_features_) {
    top_["features"] = StreamJson::array();
    streaming_ = true;
    saw_features_ = true;
    return true;
  }
  // Most arrays are positions of two or three numbers: room for them up
  // front saves the vector's regrowth on every position.
  StreamJson array = StreamJson::array();
  array.get_ref<StreamJson::array_t&>().reserve(3);
  return Open(std::move(array));
}

bool FeatureStream::end_array() {
  if (streaming_ && feature_stack_.empty()) {
    streaming_ = false;
    return true;
  }
  return Close();
}

}  // namespace orvotool
