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

namespace orvotool {

using StreamJson = nlohmann::ordered_json;

// The nlohmann SAX events turned back into values: everything but the
// elements of the top-level "features" array goes into Top(); each of those
// elements goes to on_feature as soon as it is complete.
class FeatureStream {
 public:
  explicit FeatureStream(std::function<void(StreamJson&)> on_feature)
      : on_feature_(std::move(on_feature)) {}

  // Parses text; false on a syntax error, whose byte ErrorByte() gives.
  // Exceptions of on_feature pass through.
  bool Parse(const std::string& text) { return Parse(text.data(), text.size()); }
  bool Parse(const char* text, size_t size);
  const StreamJson& Top() const { return top_; }
  bool SawFeatures() const { return saw_features_; }
  size_t ErrorByte() const { return error_byte_; }
  // Keys of the top object that came after the features array.
  size_t KeysAfterFeatures() const { return keys_after_features_; }

  // SAX events (nlohmann::json_sax).
  bool null() { return Value(nullptr); }
  bool boolean(bool v) { return Value(v); }
  bool number_integer(int64_t v) { return Value(v); }
  bool number_unsigned(uint64_t v) { return Value(v); }
  bool number_float(double v, const std::string&) { return Value(v); }
  bool string(std::string& v) { return Value(std::move(v)); }
  bool binary(StreamJson::binary_t& v) { return Value(std::move(v)); }
  bool start_object(size_t) { return Open(StreamJson::object()); }
  bool start_array(size_t);
  bool key(std::string& k) {
    if (saw_features_ && !streaming_ && top_stack_.size() == 1) ++keys_after_features_;
    key_ = std::move(k);
    return true;
  }
  bool end_object() { return Close(); }
  bool end_array();
  bool parse_error(size_t position, const std::string&, const nlohmann::detail::exception&) {
    error_byte_ = position;
    return false;
  }

 private:
  std::vector<StreamJson*>& Stack() { return streaming_ ? feature_stack_ : top_stack_; }
  StreamJson* Place(StreamJson&& v);
  bool Value(StreamJson&& v);
  bool Open(StreamJson&& container);
  bool Close();

  std::function<void(StreamJson&)> on_feature_;
  StreamJson top_;
  StreamJson feature_;
  std::vector<StreamJson*> top_stack_, feature_stack_;  // open containers, innermost last
  std::string key_;
  bool streaming_ = false;  // inside the top-level "features" array
  bool saw_features_ = false;
  size_t error_byte_ = 0;
  size_t keys_after_features_ = 0;
};

}  // namespace orvotool

#endif  // TOOLS_ORVO_GEOJSON_STREAM_H_
