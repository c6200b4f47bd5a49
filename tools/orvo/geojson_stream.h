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

// The JSON type of the GeoJSON reader: nlohmann's ordered JSON, made a type
// of its own by its serializer so that the number scanning set for it below
// applies to this reader alone.
template <typename T, typename SFINAE = void>
struct StreamSerializer : nlohmann::adl_serializer<T, SFINAE> {};
using StreamJson =
    nlohmann::basic_json<nlohmann::ordered_map, std::vector, std::string, bool, std::int64_t,
                         std::uint64_t, double, std::allocator, StreamSerializer>;
using StreamLexer =
    nlohmann::detail::lexer<StreamJson, nlohmann::detail::iterator_input_adapter<const char*>>;

}  // namespace orvotool

// The parser turns the text of a fraction or exponent, already checked
// against JSON's number grammar, into a double with strtod. Coordinates are
// most of a GeoJSON file's numbers, and std::from_chars gives the same
// correctly rounded value several times faster.
template <>
[[gnu::nonnull]] void orvotool::StreamLexer::strtof(double& f, const char* str,
                                                    char** endptr) noexcept;

namespace orvotool {

// A member's value as the reader asks for it: absent, a string (kept as
// text, in a buffer reused from feature to feature), or anything else as
// JSON: null, a boolean, a number, or the tree of an object or array.
struct FieldValue {
  bool present = false;
  bool is_text = false;
  std::string text;  // is_text
  StreamJson json;   // present and no text

  bool IsText() const { return present && is_text; }
  // Present, no text, and json says so.
  bool IsJson() const { return present && !is_text; }
  void SetText(const std::string& s) {
    present = true;
    is_text = true;
    text.assign(s);
  }
  template <class V>
  void SetJson(V&& v) {
    present = true;
    is_text = false;
    json = std::forward<V>(v);
  }
  void Clear() {
    present = false;
    if (json.is_structured()) json = nullptr;  // no tree kept past its feature
  }
};

// A geometry object: its type, its captured coordinates and the members of a
// GeometryCollection (geometry objects in a tree, see FeatureStream).
struct GeometryFields {
  FieldValue type;
  FieldValue geometries;
  bool captured = false;  // the coordinates member is an array; root: its node
  size_t root = 0;
};

struct Property {
  std::string key;
  FieldValue value;
};

// The members of a feature object the reader uses; the others are passed
// over. A member given twice keeps the value given last; a property given
// twice keeps the place of its first and the value of its last.
struct FeatureFields {
  bool is_object = false;  // false: the feature is some other JSON value
  FieldValue type, id, kind, user_id, class_code, types, latin1, open_rings, no_attributes;
  // The geometry: an object in geometry_fields, any other value in geometry.
  bool geometry_object = false;
  FieldValue geometry;
  GeometryFields geometry_fields;
  // The properties: an object as the first property_count of property_list,
  // any other value in properties.
  bool properties_object = false;
  FieldValue properties;
  std::vector<Property> property_list;
  size_t property_count = 0;

  bool HasGeometry() const { return geometry_object || geometry.present; }
  bool HasProperties() const { return properties_object || properties.present; }
  void Clear();
};

// The nlohmann SAX events turned into FeatureFields: the top-level value
// goes into Top(); each element of the top-level object's "features" array
// goes to on_feature as soon as it is complete. The "coordinates" arrays of
// geometries (a feature's "geometry" object, and the objects of a geometry's
// "geometries" array, at any depth) are captured flat: a geometry object
// holds the index of its array's node in the nodes handed to on_feature (or
// Coordinates() for Top()); in the tree of a "geometries" array each stands
// as a binary value whose subtype is that index.
class FeatureStream {
 public:
  using OnFeature = std::function<void(const FeatureFields&, const std::vector<CoordinateNode>&)>;
  explicit FeatureStream(OnFeature on_feature) : on_feature_(std::move(on_feature)) {}

  // Parses text; false on a syntax error, whose byte ErrorByte() gives.
  // Exceptions of on_feature pass through.
  bool Parse(const std::string& text) { return Parse(text.data(), text.size()); }
  bool Parse(const char* text, size_t size);
  const FeatureFields& Top() const { return top_; }
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
  bool string(std::string& v);
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
  // The objects and arrays open above any tree: the top object or a
  // feature, the features array, a feature's geometry or properties.
  enum class Frame : uint8_t { kObject, kFeatures, kGeometry, kProperties };
  struct OpenFrame {
    Frame frame;
    FeatureFields* fields;
  };
  // What the pending key of the innermost frame names.
  enum class Key : uint8_t { kOther, kSlot, kFeatures, kGeometry, kProperties, kCoordinates };
  // What an open container of a tree is to the geometry reader.
  enum class Role : uint8_t { kGeometry, kGeometryList, kOther };
  struct OpenContainer {
    StreamJson* value;
    Role role;
  };

  bool InTree() const { return !tree_.empty(); }
  void KeyOfFrame(const std::string& k);
  void StartTree(FieldValue* slot, bool object, Role role);
  void Skip() { skip_ = 1; }
  // A value of the innermost frame that came whole (a skipped one or a
  // tree) is done.
  void ValueDone();
  template <class V>
  void SetSlot(V&& v);
  template <class V>
  bool Scalar(V&& v) {
    if (capture_.Active()) {
      capture_.Other();
    } else if (skip_ == 0) {
      if (InTree())
        Place(StreamJson(std::forward<V>(v)));
      else
        SetSlot(std::forward<V>(v));
    }
    return true;
  }
  template <class V>
  bool Number(double captured, V v) {
    if (!capture_.Active()) return Scalar(v);
    capture_.Number(captured);
    return true;
  }
  Role RoleOfNew(bool object) const;
  StreamJson* Place(StreamJson&& v);
  void Open(StreamJson&& container, bool object);
  void Close();
  // Hands the feature on; its captured coordinates go with it.
  void Deliver();

  OnFeature on_feature_;
  FeatureFields top_, feature_;
  std::vector<OpenFrame> frames_;  // innermost last
  Key pending_ = Key::kOther;
  FieldValue* slot_ = nullptr;       // Key::kSlot: the member the value fills
  std::vector<OpenContainer> tree_;  // the tree being built, innermost last
  std::string key_;                  // the pending key inside a tree
  int skip_ = 0;                     // open containers of a value passed over
  bool streaming_ = false;           // inside the top-level "features" array
  bool saw_features_ = false;
  size_t error_byte_ = 0;
  size_t keys_after_features_ = 0;
  std::vector<CoordinateNode> nodes_;
  CoordinateCapture capture_;
  size_t capture_root_ = 0;
};

}  // namespace orvotool

#endif  // TOOLS_ORVO_GEOJSON_STREAM_H_
