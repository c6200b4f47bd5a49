// Feature by feature parsing of GeoJSON through nlohmann's SAX interface.
#include "tools/orvo/geojson_stream.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <type_traits>
#include <utility>

template <>
[[gnu::nonnull]] void orvotool::StreamLexer::strtof(double& f, const char* str,
                                                    char** endptr) noexcept {
  const char* end = str + std::strlen(str);
  const std::from_chars_result r = std::from_chars(str, end, f);
  // Out of range leaves f unset: strtod gives the infinity or the zero.
  if (r.ec != std::errc() || r.ptr != end) {
    f = std::strtod(str, endptr);
    return;
  }
  *endptr = const_cast<char*>(r.ptr);
}

namespace orvotool {

void FeatureFields::Clear() {
  is_object = false;
  for (FieldValue* v : {&type, &id, &kind, &user_id, &class_code, &types, &latin1, &open_rings,
                        &no_attributes, &geometry, &properties})
    v->Clear();
  geometry_object = false;
  properties_object = false;
  property_count = 0;
}

bool FeatureStream::Parse(const char* text, size_t size) {
  return StreamJson::sax_parse(text, text + size, this);
}

namespace {

bool Is(const std::string& k, const char* name, size_t size) {
  return k.size() == size && std::memcmp(k.data(), name, size) == 0;
}

#define ORVO_IS(k, name) Is(k, name, sizeof(name) - 1)

}  // namespace

// Names what the value after key k fills in the innermost frame.
void FeatureStream::KeyOfFrame(const std::string& k) {
  OpenFrame& open = frames_.back();
  FeatureFields& f = *open.fields;
  pending_ = Key::kOther;
  slot_ = nullptr;
  switch (open.frame) {
    case Frame::kObject: {
      FieldValue* slot = nullptr;
      if (ORVO_IS(k, "type")) {
        slot = &f.type;
      } else if (ORVO_IS(k, "id")) {
        slot = &f.id;
      } else if (ORVO_IS(k, "geometry")) {
        pending_ = Key::kGeometry;
      } else if (ORVO_IS(k, "properties")) {
        pending_ = Key::kProperties;
      } else if (ORVO_IS(k, "features")) {
        if (frames_.size() == 1 && open.fields == &top_) pending_ = Key::kFeatures;
      } else if (k.size() > 5 && std::memcmp(k.data(), "orvo:", 5) == 0) {
        if (ORVO_IS(k, "orvo:kind"))
          slot = &f.kind;
        else if (ORVO_IS(k, "orvo:user_id"))
          slot = &f.user_id;
        else if (ORVO_IS(k, "orvo:class"))
          slot = &f.class_code;
        else if (ORVO_IS(k, "orvo:types"))
          slot = &f.types;
        else if (ORVO_IS(k, "orvo:latin1"))
          slot = &f.latin1;
        else if (ORVO_IS(k, "orvo:open_rings"))
          slot = &f.open_rings;
        else if (ORVO_IS(k, "orvo:no_attributes"))
          slot = &f.no_attributes;
      }
      if (slot != nullptr) {
        pending_ = Key::kSlot;
        slot_ = slot;
      }
      break;
    }
    case Frame::kGeometry:
      if (ORVO_IS(k, "type")) {
        pending_ = Key::kSlot;
        slot_ = &f.geometry_fields.type;
      } else if (ORVO_IS(k, "coordinates")) {
        pending_ = Key::kCoordinates;
      } else if (ORVO_IS(k, "geometries")) {
        pending_ = Key::kSlot;
        slot_ = &f.geometry_fields.geometries;
      }
      break;
    case Frame::kProperties: {
      size_t i = 0;
      while (i < f.property_count && f.property_list[i].key != k) ++i;
      if (i == f.property_count) {
        if (i == f.property_list.size()) f.property_list.emplace_back();
        f.property_list[i].key.assign(k);
        f.property_list[i].value.Clear();
        ++f.property_count;
      }
      pending_ = Key::kSlot;
      slot_ = &f.property_list[i].value;
      break;
    }
    case Frame::kFeatures:
      break;
  }
}

#undef ORVO_IS

// A scalar value of the innermost frame.
template <class V>
void FeatureStream::SetSlot(V&& v) {
  if (frames_.empty()) {
    top_.Clear();  // a document of one scalar
    return;
  }
  OpenFrame& open = frames_.back();
  FeatureFields& f = *open.fields;
  switch (open.frame) {
    case Frame::kFeatures:
      feature_.Clear();  // no object
      Deliver();
      return;
    default:
      break;
  }
  switch (pending_) {
    case Key::kSlot:
      if constexpr (std::is_same_v<std::decay_t<V>, std::string>)
        slot_->SetText(v);
      else
        slot_->SetJson(std::forward<V>(v));
      break;
    case Key::kGeometry:
      f.geometry_object = false;
      f.geometry.SetJson(StreamJson(std::forward<V>(v)));
      break;
    case Key::kProperties:
      f.properties_object = false;
      f.properties.SetJson(StreamJson(std::forward<V>(v)));
      break;
    case Key::kCoordinates:
      f.geometry_fields.captured = false;  // no array
      break;
    case Key::kFeatures:
    case Key::kOther:
      break;
  }
}

bool FeatureStream::string(std::string& v) {
  if (capture_.Active()) {
    capture_.Other();
  } else if (skip_ == 0) {
    if (InTree())
      Place(StreamJson(v));
    else
      SetSlot(v);
  }
  return true;
}

void FeatureStream::StartTree(FieldValue* slot, bool object, Role role) {
  slot->SetJson(object ? StreamJson::object() : StreamJson::array());
  tree_.push_back({&slot->json, role});
}

void FeatureStream::ValueDone() {
  if (!frames_.empty() && frames_.back().frame == Frame::kFeatures) Deliver();
}

// A container opened inside a tree: the members of a "geometries" array are
// geometries, and so are their own "geometries" members; anything else is
// plain JSON.
FeatureStream::Role FeatureStream::RoleOfNew(bool object) const {
  switch (tree_.back().role) {
    case Role::kGeometry:
      return !object && key_ == "geometries" ? Role::kGeometryList : Role::kOther;
    case Role::kGeometryList:
      return object ? Role::kGeometry : Role::kOther;
    case Role::kOther:
      break;
  }
  return Role::kOther;
}

// Puts v where the parser is in the tree: the next element of the open
// array or the member of the pending key of the open object.
StreamJson* FeatureStream::Place(StreamJson&& v) {
  StreamJson& parent = *tree_.back().value;
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

void FeatureStream::Open(StreamJson&& container, bool object) {
  const Role role = RoleOfNew(object);
  StreamJson* placed = Place(std::move(container));
  tree_.push_back({placed, role});
}

void FeatureStream::Close() {
  tree_.pop_back();
  if (tree_.empty()) ValueDone();
}

bool FeatureStream::start_object(size_t) {
  if (capture_.Active()) {
    capture_.OpenObject();
    return true;
  }
  if (skip_ > 0) {
    ++skip_;
    return true;
  }
  if (InTree()) {
    Open(StreamJson::object(), /*object=*/true);
    return true;
  }
  if (frames_.empty()) {
    top_.Clear();
    top_.is_object = true;
    frames_.push_back({Frame::kObject, &top_});
    return true;
  }
  OpenFrame& open = frames_.back();
  FeatureFields& f = *open.fields;
  if (open.frame == Frame::kFeatures) {
    feature_.Clear();
    feature_.is_object = true;
    frames_.push_back({Frame::kObject, &feature_});
    return true;
  }
  switch (pending_) {
    case Key::kSlot:
      StartTree(slot_, /*object=*/true, Role::kOther);
      break;
    case Key::kGeometry:
      f.geometry_object = true;
      f.geometry.Clear();
      f.geometry_fields.type.Clear();
      f.geometry_fields.geometries.Clear();
      f.geometry_fields.captured = false;
      frames_.push_back({Frame::kGeometry, &f});
      break;
    case Key::kProperties:
      f.properties_object = true;
      f.properties.Clear();
      f.property_count = 0;
      frames_.push_back({Frame::kProperties, &f});
      break;
    case Key::kCoordinates:
      f.geometry_fields.captured = false;  // no array
      Skip();
      break;
    case Key::kFeatures:
    case Key::kOther:
      Skip();
      break;
  }
  return true;
}

bool FeatureStream::end_object() {
  if (capture_.Active()) {
    capture_.CloseObject();
    return true;
  }
  if (skip_ > 0) {
    if (--skip_ == 0) ValueDone();
    return true;
  }
  if (InTree()) {
    Close();
    return true;
  }
  const OpenFrame closed = frames_.back();
  frames_.pop_back();
  if (closed.frame == Frame::kObject && closed.fields == &feature_) Deliver();
  return true;
}

bool FeatureStream::key(std::string& k) {
  if (capture_.Active() || skip_ > 0) return true;  // keys of objects passed over
  if (InTree()) {
    key_.assign(k);
    return true;
  }
  if (saw_features_ && !streaming_ && frames_.size() == 1) ++keys_after_features_;
  KeyOfFrame(k);
  return true;
}

bool FeatureStream::start_array(size_t) {
  if (capture_.Active()) {
    capture_.OpenArray();
    return true;
  }
  if (skip_ > 0) {
    ++skip_;
    return true;
  }
  if (InTree()) {
    if (tree_.back().role == Role::kGeometry && key_ == "coordinates")
      capture_root_ = capture_.Start(&nodes_);
    else
      Open(StreamJson::array(), /*object=*/false);
    return true;
  }
  if (frames_.empty()) {
    top_.Clear();  // a document of one array
    Skip();
    return true;
  }
  OpenFrame& open = frames_.back();
  FeatureFields& f = *open.fields;
  if (open.frame == Frame::kFeatures) {
    feature_.Clear();  // no object: handed on when the array closes
    Skip();
    return true;
  }
  switch (pending_) {
    case Key::kSlot:
      // A GeometryCollection's members are geometries.
      StartTree(slot_, /*object=*/false,
                open.frame == Frame::kGeometry && slot_ == &f.geometry_fields.geometries
                    ? Role::kGeometryList
                    : Role::kOther);
      break;
    case Key::kGeometry:
      f.geometry_object = false;
      StartTree(&f.geometry, /*object=*/false, Role::kOther);
      break;
    case Key::kProperties:
      f.properties_object = false;
      StartTree(&f.properties, /*object=*/false, Role::kOther);
      break;
    case Key::kCoordinates:
      capture_root_ = capture_.Start(&nodes_);
      break;
    case Key::kFeatures:
      // The features of the top-level object stream; a second such array is
      // passed over.
      if (!saw_features_) {
        frames_.push_back({Frame::kFeatures, &feature_});
        streaming_ = true;
        saw_features_ = true;
      } else {
        Skip();
      }
      break;
    case Key::kOther:
      Skip();
      break;
  }
  return true;
}

bool FeatureStream::end_array() {
  if (capture_.Active()) {
    if (capture_.CloseArray()) {
      if (InTree()) {
        Place(StreamJson::binary({}, capture_root_));
      } else {
        GeometryFields& g = frames_.back().fields->geometry_fields;
        g.captured = true;
        g.root = capture_root_;
      }
    }
    return true;
  }
  if (skip_ > 0) {
    if (--skip_ == 0) ValueDone();
    return true;
  }
  if (InTree()) {
    Close();
    return true;
  }
  frames_.pop_back();  // the features array
  streaming_ = false;
  return true;
}

}  // namespace orvotool
