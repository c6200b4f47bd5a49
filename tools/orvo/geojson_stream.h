// A GeoJSON document parsed one feature at a time: the features of a
// FeatureCollection are handed out as they complete, so a large file never
// stands in memory as one JSON tree.
#ifndef TOOLS_ORVO_GEOJSON_STREAM_H_
#define TOOLS_ORVO_GEOJSON_STREAM_H_

#include <cstdint>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/orvo/geojson_coordinates.h"

namespace orvotool {

using StreamJson = nlohmann::ordered_json;

// The nlohmann SAX events turned back into values: everything but the
// elements of the top-level "features" array goes into Top(); each of those
// elements goes to on_feature as soon as it is complete. The "coordinates"
// arrays of geometries (a feature's "geometry" object, and the objects of a
// geometry's "geometries" array, at any depth) are captured flat: in the
// tree each stands as a binary value whose subtype is the index of its node
// in the nodes handed to on_feature (or Coordinates() for Top()).
class FeatureStream {
 public:
  using OnFeature = std::function<void(StreamJson&, const std::vector<CoordinateNode>&)>;
  explicit FeatureStream(OnFeature on_feature) : on_feature_(std::move(on_feature)) {}

  // Parses text; false on a syntax error, whose byte ErrorByte() gives.
  // Exceptions of on_feature pass through.
  bool Parse(const std::string& text) { return Parse(text.data(), text.size()); }
  bool Parse(const char* text, size_t size);
  const StreamJson& Top() const { return top_; }
  const std::vector<CoordinateNode>& Coordinates() const { return nodes_; }
  bool SawFeatures() const { return saw_features_; }
  size_t ErrorByte() const { return error_byte_; }
  // Keys of the top object that came after the features array.
  size_t KeysAfterFeatures() const { return keys_after_features_; }

  // SAX events (nlohmann::json_sax).
  bool null() { return Scalar(nullptr); }
  bool boolean(bool v) { return Scalar(v); }
  bool number_integer(int64_t v) { return Number(static_cast<double>(v), v); }
  bool number_unsigned(uint64_t v) { return Number(static_cast<double>(v), v); }
  bool number_float(double v, const std::string&) { return Number(v, v); }
  bool string(std::string& v) { return Scalar(std::move(v)); }
  bool binary(StreamJson::binary_t& v) { return Scalar(std::move(v)); }
  bool start_object(size_t);
  bool start_array(size_t);
  bool key(std::string& k);
  bool end_object();
  bool end_array();
  bool parse_error(size_t position, const std::string&, const nlohmann::detail::exception&) {
    error_byte_ = position;
    return false;
  }

 private:
  // What an open container is to the geometry reader.
  enum class Role : uint8_t { kFeature, kGeometry, kGeometryList, kOther };
  struct OpenContainer {
    StreamJson* value;
    Role role;
  };

  std::vector<OpenContainer>& Stack() { return streaming_ ? feature_stack_ : top_stack_; }
  Role RoleOfNew(bool object);
  StreamJson* Place(StreamJson&& v);
  bool Value(StreamJson&& v);
  template <class V>
  bool Scalar(V&& v) {
    if (!capture_.Active()) return Value(StreamJson(std::forward<V>(v)));
    capture_.Other();
    return true;
  }
  template <class V>
  bool Number(double captured, V v) {
    if (!capture_.Active()) return Value(v);
    capture_.Number(captured);
    return true;
  }
  bool Open(StreamJson&& container, bool object);
  bool Close();
  // Hands the feature on; its captured coordinates go with it.
  void Deliver();

  OnFeature on_feature_;
  StreamJson top_;
  StreamJson feature_;
  std::vector<OpenContainer> top_stack_, feature_stack_;  // innermost last
  std::string key_;
  bool streaming_ = false;  // inside the top-level "features" array
  bool saw_features_ = false;
  size_t error_byte_ = 0;
  size_t keys_after_features_ = 0;
  std::vector<CoordinateNode> nodes_;
  CoordinateCapture capture_;
  size_t capture_root_ = 0;
};

}  // namespace orvotool

#endif  // TOOLS_ORVO_GEOJSON_STREAM_H_
