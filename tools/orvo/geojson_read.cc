// GeoJSON features read back into layer records.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/orvo/command.h"
#include "tools/orvo/geojson.h"
#include "tools/orvo/geojson_stream.h"

namespace orvotool {

namespace {

using Json = nlohmann::ordered_json;

// Thrown inside a feature; the caller adds the file and the feature number.
struct FeatureProblem {
  std::string what;
};

std::string Utf8ToLatin1(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0xC0 && c <= 0xC3 && i + 1 < s.size()) {
      out += static_cast<char>(((c & 3) << 6) | (static_cast<unsigned char>(s[++i]) & 0x3F));
    } else if (c >= 0x80) {
      throw FeatureProblem{"orvo:latin1 text holds a character above U+00FF"};
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int32_t KindOf(const std::string& name) {
  static const char* const kNames[] = {"PNT", "LIN", "RGN", "TXT", "MIX"};
  for (int32_t k = 0; k < 5; ++k)
    if (name == kNames[k]) return k + 1;
  throw FeatureProblem{"orvo:kind \"" + name + "\" is none of PNT, LIN, RGN, TXT, MIX"};
}

class GeometryReader {
 public:
  explicit GeometryReader(Feature* f) : f_(*f) {}

  // Reads geometry g into the feature's vectors; returns the kind its type
  // implies.
  int32_t Read(const Json& g, int depth = 0) {
    if (!g.is_object()) throw FeatureProblem{"geometry is no object"};
    if (depth > 16) throw FeatureProblem{"geometry collections nest too deep"};
    const auto type_it = g.find("type");
    if (type_it == g.end() || !type_it->is_string()) throw FeatureProblem{"geometry has no type"};
    const std::string type = type_it->get<std::string>();
    if (type == "GeometryCollection") {
      const auto members = g.find("geometries");
      if (members == g.end() || !members->is_array())
        throw FeatureProblem{"GeometryCollection has no geometries array"};
      for (const Json& m : *members) Read(m, depth + 1);
      return 5;
    }
    const auto c_it = g.find("coordinates");
    if (c_it == g.end() || !c_it->is_array()) throw FeatureProblem{type + " has no coordinates"};
    const Json& c = *c_it;
    if (type == "Point") {
      Vector({&c, 1});
      return 1;
    }
    if (type == "MultiPoint") {
      for (const Json& p : c) Vector({&p, 1});
      return 1;
    }
    if (type == "LineString") {
      Line(c);
      return 2;
    }
    if (type == "MultiLineString") {
      for (const Json& l : c) Line(l);
      return 2;
    }
    if (type == "Polygon") {
      Polygon(c);
      return 3;
    }
    if (type == "MultiPolygon") {
      for (const Json& p : c) Polygon(p);
      return 3;
    }
    throw FeatureProblem{"geometry type " + type + " is unknown"};
  }

  void Finish(bool open_rings) {
    if (positions_.empty()) throw FeatureProblem{"geometry is empty"};
    f_.has_z = all_z_;
    f_.xy.clear();
    f_.z.clear();
    f_.sizes.clear();
    size_t at = 0;
    for (size_t v = 0; v < vector_sizes_.size(); ++v) {
      size_t n = vector_sizes_[v];
      const size_t keep = open_rings && is_ring_[v] && n > 1 ? n - 1 : n;
      for (size_t i = 0; i < keep; ++i) {
        const Position& p = positions_[at + i];
        f_.xy.push_back(p.x);
        f_.xy.push_back(p.y);
        if (all_z_) f_.z.push_back(p.z);
      }
      f_.sizes.push_back(static_cast<int32_t>(keep));
      at += n;
    }
  }

 private:
  struct Position {
    double x, y, z;
  };
  struct Span {
    const Json* first;
    size_t count;
  };

  void Point(const Json& p) {
    if (!p.is_array() || p.size() < 2)
      throw FeatureProblem{"position is no array of 2 or 3 numbers"};
    for (size_t i = 0; i < p.size() && i < 3; ++i)
      if (!p[i].is_number()) throw FeatureProblem{"position holds something other than numbers"};
    Position pos{p[0].get<double>(), p[1].get<double>(), 0};
    if (p.size() >= 3)
      pos.z = p[2].get<double>();
    else
      all_z_ = false;
    positions_.push_back(pos);
  }

  void Vector(Span s, bool ring = false) {
    if (s.count == 0) throw FeatureProblem{"a part of the geometry has no positions"};
    for (size_t i = 0; i < s.count; ++i) Point(s.first[i]);
    vector_sizes_.push_back(s.count);
    is_ring_.push_back(ring);
  }

  void Line(const Json& l, bool ring = false) {
    if (!l.is_array()) throw FeatureProblem{"line is no array of positions"};
    if (l.empty()) throw FeatureProblem{"a part of the geometry has no positions"};
    for (const Json& p : l) Point(p);
    vector_sizes_.push_back(l.size());
    is_ring_.push_back(ring);
  }

  void Polygon(const Json& rings) {
    if (!rings.is_array()) throw FeatureProblem{"polygon is no array of rings"};
    for (const Json& r : rings) Line(r, true);
  }

  Feature& f_;
  std::vector<Position> positions_;
  std::vector<size_t> vector_sizes_;
  std::vector<bool> is_ring_;
  bool all_z_ = true;
};

void ReadProperties(const Json& feature, bool latin1, Feature& f) {
  auto text = [latin1](const std::string& s) { return latin1 ? Utf8ToLatin1(s) : s; };
  const Json* types = nullptr;
  if (auto t = feature.find("orvo:types"); t != feature.end() && t->is_object()) types = &*t;
  f.attributes.clear();
  const auto props = feature.find("properties");
  if (props == feature.end() || props->is_null()) return;
  if (!props->is_object()) throw FeatureProblem{"properties is no object"};
  for (const auto& [key, value] : props->items()) {
    Attribute a;
    a.id = text(key);
    std::string declared;
    if (types != nullptr)
      if (auto d = types->find(key); d != types->end() && d->is_string())
        declared = d->get<std::string>();
    if (value.is_null()) continue;
    if (declared == "blob") {
      if (!value.is_string()) throw FeatureProblem{"blob " + key + " is no string"};
      const std::string hex = value.get<std::string>();
      // Captured by name: clang before 16 cannot capture a structured binding.
      auto nibble = [&id = key](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw FeatureProblem{"blob " + id + " is no hexadecimal text"};
      };
      if (hex.size() % 2 != 0) throw FeatureProblem{"blob " + key + " has an odd number of digits"};
      a.type = kTypeBlob;
      for (size_t i = 0; i < hex.size(); i += 2)
        a.blob += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    } else if (declared == "real" && value.is_string()) {
      const std::string v = value.get<std::string>();
      a.type = kTypeReal;
      if (v == "nan")
        a.real = std::numeric_limits<double>::quiet_NaN();
      else if (v == "inf")
        a.real = std::numeric_limits<double>::infinity();
      else if (v == "-inf")
        a.real = -std::numeric_limits<double>::infinity();
      else
        throw FeatureProblem{"real " + key + " is neither a number nor nan, inf, -inf"};
    } else if (value.is_number_integer()) {
      const int64_t v =
          value.is_number_unsigned()
              ? static_cast<int64_t>(std::min<uint64_t>(value.get<uint64_t>(), INT64_MAX))
              : value.get<int64_t>();
      if (v >= INT32_MIN && v <= INT32_MAX) {
        a.type = kTypeInt;
        a.integer = static_cast<int32_t>(v);
      } else {
        a.type = kTypeReal;  // beyond the 32 bits of an integer attribute
        a.real = value.get<double>();
      }
    } else if (value.is_number()) {
      a.type = kTypeReal;
      a.real = value.get<double>();
    } else if (value.is_string()) {
      a.text = text(value.get<std::string>());
    } else if (value.is_boolean()) {
      a.text = value.get<bool>() ? "true" : "false";
    } else {
      a.text = value.dump();  // objects and arrays keep their JSON text
    }
    f.attributes.push_back(std::move(a));
  }
}

bool Flag(const Json& feature, const char* name) {
  auto it = feature.find(name);
  return it != feature.end() && it->is_boolean() && it->get<bool>();
}

void ReadFeature(const Json& feature, Feature& f) {
  if (!feature.is_object()) throw FeatureProblem{"is no object"};
  if (auto t = feature.find("type"); t == feature.end() || *t != "Feature")
    throw FeatureProblem{"is no Feature"};
  const bool latin1 = Flag(feature, "orvo:latin1");
  const auto geometry = feature.find("geometry");
  if (geometry == feature.end() || geometry->is_null()) throw FeatureProblem{"has no geometry"};
  GeometryReader reader(&f);
  int32_t kind = reader.Read(*geometry);
  reader.Finish(Flag(feature, "orvo:open_rings"));
  if (auto k = feature.find("orvo:kind"); k != feature.end()) {
    if (!k->is_string()) throw FeatureProblem{"orvo:kind is no string"};
    kind = KindOf(k->get<std::string>());
  }
  f.kind = kind;
  f.has_attributes = !Flag(feature, "orvo:no_attributes");
  f.user_id = 0;
  f.class_code.clear();
  if (auto u = feature.find("orvo:user_id"); u != feature.end()) {
    if (!u->is_number_integer() || *u < INT32_MIN || *u > INT32_MAX)
      throw FeatureProblem{"orvo:user_id is no 32-bit integer"};
    f.user_id = u->get<int32_t>();
  }
  if (auto c = feature.find("orvo:class"); c != feature.end()) {
    if (!c->is_string()) throw FeatureProblem{"orvo:class is no string"};
    f.class_code = latin1 ? Utf8ToLatin1(c->get<std::string>()) : c->get<std::string>();
  }
  ReadProperties(feature, latin1, f);
}

// The id member as a layer id: 0 when the feature has none that fits.
int32_t IdOf(const Json& feature) {
  if (!feature.is_object()) return 0;
  auto it = feature.find("id");
  if (it == feature.end()) return 0;
  if (it->is_number_integer() && *it >= INT32_MIN && *it <= INT32_MAX) return it->get<int32_t>();
  if (it->is_string()) {
    const std::string s = it->get<std::string>();
    int32_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc() && p == s.data() + s.size()) return v;
  }
  return 0;
}

}  // namespace

int64_t ReadGeoJson(const std::string& path, Progress& progress,
                    const std::function<void(const Feature&)>& sink) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw InputError{path, "cannot be opened"};
  std::string bytes;
  in.seekg(0, std::ios::end);
  bytes.resize(static_cast<size_t>(in.tellg()));
  in.seekg(0);
  if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
    throw InputError{path, "cannot be read"};
  // Progress counts features; their number is estimated by the type member.
  int64_t expected = 0;
  for (size_t at = bytes.find("\"Feature\""); at != std::string::npos;
       at = bytes.find("\"Feature\"", at + 9))
    ++expected;
  progress.SetTotal(expected);

  // A feature without id takes the next id above the largest of the file,
  // known only at its end: from the first such feature on, features wait in
  // memory (as records, not JSON) until the file is read.
  int32_t max_id = 0;
  int64_t number = 0;
  bool holding = false;
  std::vector<Feature> held;
  std::vector<size_t> without_id;  // indexes into held
  Feature f;
  auto take = [&](StreamJson& feature) {
    ++number;
    bool has_id = false;
    try {
      ReadFeature(feature, f);
      f.id = IdOf(feature);
      if (f.id == 0) {
        if (feature.contains("id") && feature.at("id") != 0 && feature.at("id") != "0")
          throw FeatureProblem{"id is no 32-bit integer"};
        if (feature.contains("id")) throw FeatureProblem{"id 0 is no layer id"};
      } else {
        has_id = true;
        max_id = std::max(max_id, f.id);
      }
    } catch (const FeatureProblem& p) {
      throw InputError{path, "feature " + std::to_string(number) + " " + p.what};
    } catch (const Json::exception& e) {
      throw InputError{path, "feature " + std::to_string(number) + ": " + e.what()};
    }
    if (!has_id) holding = true;
    if (holding) {
      if (!has_id) without_id.push_back(held.size());
      held.push_back(f);
    } else {
      sink(f);
    }
    if (number % 4096 == 0) progress.Advance(number);
  };
  FeatureStream stream(take);
  if (!stream.Parse(bytes))
    throw InputError{path, "is no JSON (at byte " + std::to_string(stream.ErrorByte()) + ")"};
  bytes = std::string();
  const StreamJson& top = stream.Top();
  const std::string type = top.is_object() && top.contains("type") && top["type"].is_string()
                               ? top["type"].get<std::string>()
                               : std::string();
  if (type == "FeatureCollection") {
    if (!stream.SawFeatures()) throw InputError{path, "FeatureCollection has no features array"};
  } else if (type == "Feature" && !stream.SawFeatures()) {
    StreamJson single = top;
    take(single);
  } else {
    throw InputError{path, "is no GeoJSON FeatureCollection or Feature"};
  }
  for (size_t i : without_id) {
    if (max_id == INT32_MAX) throw InputError{path, "no id left for the features without one"};
    held[i].id = ++max_id;
  }
  for (const Feature& h : held) sink(h);
  progress.Advance(number);
  progress.SetTotal(number);
  return number;
}

}  // namespace orvotool
