// GeoJSON features read back into layer records.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/file_reader64.h"
#include "tools/orvo/command.h"
#include "tools/orvo/geojson.h"
#include "tools/orvo/geojson_runs.h"
#include "tools/orvo/geojson_stream.h"

namespace orvotool {

namespace {

using Json = StreamJson;

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

// A position's numbers, from the tree or from captured coordinates.
double NumberOf(const Json& v) { return v.get<double>(); }
double NumberOf(const CoordinateView& v) { return v.Number(); }

bool Flag(const FieldValue& v) { return v.IsJson() && v.json.is_boolean() && v.json.get<bool>(); }

// Reads the geometry of a feature straight into its vectors: every vector
// of every part in order, the last position of each ring dropped again when
// the rings were open in the layer.
class GeometryReader {
 public:
  GeometryReader(Feature* f, const std::vector<CoordinateNode>& coordinates, bool open_rings)
      : f_(*f), coordinates_(coordinates), open_rings_(open_rings) {
    f_.xy.clear();
    f_.z.clear();
    f_.sizes.clear();
  }

  // Reads the geometry member of a feature; returns the kind its type
  // implies.
  int32_t Read(const FeatureFields& feature) {
    if (!feature.geometry_object) {
      if (feature.geometry.is_text) throw FeatureProblem{"geometry is no object"};
      return Read(feature.geometry.json);
    }
    const GeometryFields& g = feature.geometry_fields;
    if (!g.type.IsText()) throw FeatureProblem{"geometry has no type"};
    const std::string& type = g.type.text;
    if (type == "GeometryCollection") return Collection(g.geometries, 0);
    if (!g.captured) throw FeatureProblem{type + " has no coordinates"};
    return Captured(type, g.root);
  }

  void Finish() {
    if (positions_ == 0) throw FeatureProblem{"geometry is empty"};
    f_.has_z = all_z_;
    if (!all_z_) f_.z.clear();
  }

 private:
  // Geometry g of a tree (a member of a GeometryCollection, or no object).
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
    if (c_it != g.end() && c_it->is_binary())
      return Captured(type, static_cast<size_t>(c_it->get_binary().subtype()));
    if (c_it == g.end() || !c_it->is_array()) throw FeatureProblem{type + " has no coordinates"};
    return Shape(type, *c_it);
  }

  int32_t Collection(const FieldValue& members, int depth) {
    if (!members.IsJson() || !members.json.is_array())
      throw FeatureProblem{"GeometryCollection has no geometries array"};
    for (const Json& m : members.json) Read(m, depth + 1);
    return 5;
  }

  int32_t Captured(const std::string& type, size_t root) {
    if (root >= coordinates_.size()) throw FeatureProblem{type + " has no coordinates"};
    return Shape(type, CoordinateView(&coordinates_, root));
  }

  // The vectors of a geometry of the given type from its coordinates c, an
  // array (of the tree, or captured).
  template <class V>
  int32_t Shape(const std::string& type, const V& c) {
    if (type == "Point") {
      Single(c);
      return 1;
    }
    if (type == "MultiPoint") {
      for (const auto& p : c) Single(p);
      return 1;
    }
    if (type == "LineString") {
      Line(c);
      return 2;
    }
    if (type == "MultiLineString") {
      for (const auto& l : c) Line(l);
      return 2;
    }
    if (type == "Polygon") {
      Polygon(c);
      return 3;
    }
    if (type == "MultiPolygon") {
      for (const auto& p : c) Polygon(p);
      return 3;
    }
    throw FeatureProblem{"geometry type " + type + " is unknown"};
  }

  template <class V>
  void Point(const V& p) {
    if (!p.is_array() || p.size() < 2)
      throw FeatureProblem{"position is no array of 2 or 3 numbers"};
    size_t count = 0;
    double v[3] = {0, 0, 0};
    for (const auto& n : p) {
      if (count == 3) break;
      if (!n.is_number()) throw FeatureProblem{"position holds something other than numbers"};
      v[count++] = NumberOf(n);
    }
    if (count < 3) all_z_ = false;
    f_.xy.push_back(v[0]);
    f_.xy.push_back(v[1]);
    f_.z.push_back(v[2]);
    ++positions_;
  }

  // A vector of one position.
  template <class V>
  void Single(const V& p) {
    Point(p);
    f_.sizes.push_back(1);
  }

  template <class V>
  void Line(const V& l, bool ring = false) {
    if (!l.is_array()) throw FeatureProblem{"line is no array of positions"};
    if (l.empty()) throw FeatureProblem{"a part of the geometry has no positions"};
    size_t n = 0;
    for (const auto& p : l) {
      Point(p);
      ++n;
    }
    if (open_rings_ && ring && n > 1) {
      --n;
      f_.xy.resize(f_.xy.size() - 2);
      f_.z.pop_back();
    }
    f_.sizes.push_back(static_cast<int32_t>(n));
  }

  template <class V>
  void Polygon(const V& rings) {
    if (!rings.is_array()) throw FeatureProblem{"polygon is no array of rings"};
    for (const auto& r : rings) Line(r, true);
  }

  Feature& f_;
  const std::vector<CoordinateNode>& coordinates_;
  const bool open_rings_;
  size_t positions_ = 0;  // read, before any ring's last is dropped
  bool all_z_ = true;
};

// The attribute a feature's properties fill next, taken from those of the
// feature read before (a Feature is reused from feature to feature, and so
// are the buffers of its texts).
Attribute& NextAttribute(Feature& f, size_t n) {
  if (n == f.attributes.size()) f.attributes.emplace_back();
  Attribute& a = f.attributes[n];
  a.type = kTypeString;
  a.text.clear();
  a.integer = 0;
  a.real = 0;
  a.blob.clear();
  return a;
}

void ReadProperties(const FeatureFields& feature, bool latin1, Feature& f) {
  const Json* types = nullptr;
  if (feature.types.IsJson() && feature.types.json.is_object()) types = &feature.types.json;
  size_t n = 0;
  if (!feature.properties_object) {
    f.attributes.clear();
    if (!feature.properties.present ||
        (feature.properties.IsJson() && feature.properties.json.is_null()))
      return;
    throw FeatureProblem{"properties is no object"};
  }
  for (size_t i = 0; i < feature.property_count; ++i) {
    const std::string& key = feature.property_list[i].key;
    const FieldValue& value = feature.property_list[i].value;
    Attribute& a = NextAttribute(f, n);
    if (latin1)
      a.id = Utf8ToLatin1(key);
    else
      a.id.assign(key);
    std::string declared;
    if (types != nullptr)
      if (auto d = types->find(key); d != types->end() && d->is_string())
        declared = d->get<std::string>();
    if (value.IsJson() && value.json.is_null()) continue;
    if (declared == "blob") {
      if (!value.is_text) throw FeatureProblem{"blob " + key + " is no string"};
      const std::string& hex = value.text;
      auto nibble = [&key](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw FeatureProblem{"blob " + key + " is no hexadecimal text"};
      };
      if (hex.size() % 2 != 0) throw FeatureProblem{"blob " + key + " has an odd number of digits"};
      a.type = kTypeBlob;
      for (size_t i = 0; i < hex.size(); i += 2)
        a.blob += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    } else if (declared == "real" && value.is_text) {
      const std::string& v = value.text;
      a.type = kTypeReal;
      if (v == "nan")
        a.real = std::numeric_limits<double>::quiet_NaN();
      else if (v == "inf")
        a.real = std::numeric_limits<double>::infinity();
      else if (v == "-inf")
        a.real = -std::numeric_limits<double>::infinity();
      else
        throw FeatureProblem{"real " + key + " is neither a number nor nan, inf, -inf"};
    } else if (value.is_text) {
      if (latin1)
        a.text = Utf8ToLatin1(value.text);
      else
        a.text.assign(value.text);
    } else if (value.json.is_number_integer()) {
      const int64_t v =
          value.json.is_number_unsigned()
              ? static_cast<int64_t>(std::min<uint64_t>(value.json.get<uint64_t>(), INT64_MAX))
              : value.json.get<int64_t>();
      if (v >= INT32_MIN && v <= INT32_MAX) {
        a.type = kTypeInt;
        a.integer = static_cast<int32_t>(v);
      } else {
        a.type = kTypeReal;  // beyond the 32 bits of an integer attribute
        a.real = value.json.get<double>();
      }
    } else if (value.json.is_number()) {
      a.type = kTypeReal;
      a.real = value.json.get<double>();
    } else if (value.json.is_boolean()) {
      a.text = value.json.get<bool>() ? "true" : "false";
    } else {
      a.text = value.json.dump();  // objects and arrays keep their JSON text
    }
    ++n;
  }
  f.attributes.resize(n);
}

void ReadFeature(const FeatureFields& feature, const std::vector<CoordinateNode>& coordinates,
                 Feature& f) {
  if (!feature.is_object) throw FeatureProblem{"is no object"};
  if (!feature.type.IsText() || feature.type.text != "Feature")
    throw FeatureProblem{"is no Feature"};
  const bool latin1 = Flag(feature.latin1);
  if (!feature.HasGeometry() ||
      (!feature.geometry_object && feature.geometry.IsJson() && feature.geometry.json.is_null()))
    throw FeatureProblem{"has no geometry"};
  GeometryReader reader(&f, coordinates, Flag(feature.open_rings));
  int32_t kind = reader.Read(feature);
  reader.Finish();
  if (feature.kind.present) {
    if (!feature.kind.is_text) throw FeatureProblem{"orvo:kind is no string"};
    kind = KindOf(feature.kind.text);
  }
  f.kind = kind;
  f.has_attributes = !Flag(feature.no_attributes);
  f.user_id = 0;
  f.class_code.clear();
  if (const FieldValue& u = feature.user_id; u.present) {
    if (u.is_text || !u.json.is_number_integer() || u.json < INT32_MIN || u.json > INT32_MAX)
      throw FeatureProblem{"orvo:user_id is no 32-bit integer"};
    f.user_id = u.json.get<int32_t>();
  }
  if (const FieldValue& c = feature.class_code; c.present) {
    if (!c.is_text) throw FeatureProblem{"orvo:class is no string"};
    if (latin1)
      f.class_code = Utf8ToLatin1(c.text);
    else
      f.class_code.assign(c.text);
  }
  ReadProperties(feature, latin1, f);
}

// The id member as a layer id: 0 when the feature has none that fits.
int32_t IdOf(const FeatureFields& feature) {
  if (!feature.is_object || !feature.id.present) return 0;
  if (feature.id.is_text) {
    const std::string& s = feature.id.text;
    int32_t v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc() && p == s.data() + s.size()) return v;
    return 0;
  }
  const Json& id = feature.id.json;
  if (id.is_number_integer() && id >= INT32_MIN && id <= INT32_MAX) return id.get<int32_t>();
  return 0;
}

// Reads one feature of the features array: its record and its id (0 when
// it has none). Throws FeatureProblem and Json::exception.
void ReadFeatureWithId(const FeatureFields& feature, const std::vector<CoordinateNode>& coordinates,
                       Feature& f) {
  ReadFeature(feature, coordinates, f);
  f.id = IdOf(feature);
  if (f.id == 0 && feature.is_object && feature.id.present) {
    const bool zero = feature.id.is_text ? feature.id.text == "0"
                                         : !(feature.id.json != 0 && feature.id.json != "0");
    if (!zero) throw FeatureProblem{"id is no 32-bit integer"};
    throw FeatureProblem{"id 0 is no layer id"};
  }
}

// Features in file order on their way to the sink. A feature without id
// takes the next id above the largest of the file, known only at its end:
// from the first such feature on, features wait in memory (as records, not
// JSON) until the file is read.
class Collector {
 public:
  Collector(Progress& progress, const std::function<void(const Feature&)>& sink)
      : progress_(progress), sink_(sink) {}

  // Whether Add advances the progress by features (the parallel reader
  // advances it by bytes instead).
  void CountProgress(bool count) { count_progress_ = count; }

  int64_t Count() const { return number_; }
  // The number the next feature will have, counted from 1.
  int64_t Next() const { return number_ + 1; }

  void Add(const Feature& f) {
    ++number_;
    if (f.id != 0) max_id_ = std::max(max_id_, f.id);
    if (f.id == 0) holding_ = true;
    if (holding_) {
      if (f.id == 0) without_id_.push_back(held_.size());
      held_.push_back(f);
    } else {
      sink_(f);
    }
    if (count_progress_ && number_ % 4096 == 0) progress_.Advance(number_);
  }

  void Finish(const std::string& path) {
    for (size_t i : without_id_) {
      if (max_id_ == INT32_MAX) throw InputError{path, "no id left for the features without one"};
      held_[i].id = ++max_id_;
    }
    for (const Feature& h : held_) sink_(h);
    progress_.SetTotal(number_);
    progress_.Advance(number_);
  }

 private:
  Progress& progress_;
  const std::function<void(const Feature&)>& sink_;
  int64_t number_ = 0;
  int32_t max_id_ = 0;
  bool holding_ = false;
  bool count_progress_ = true;
  std::vector<Feature> held_;
  std::vector<size_t> without_id_;  // indexes into held_
};

// Parses text feature by feature into collector, with the messages of bad
// input. text is the document itself (resume_at 0, head 0) or, to go on
// from a run on, the document's head followed by its bytes from resume_at:
// syntax errors are told at their byte in the file.
void ParseSerially(const std::string& path, const char* text, size_t size, size_t head,
                   size_t resume_at, Collector& collector) {
  Feature f;
  auto take = [&](const FeatureFields& feature, const std::vector<CoordinateNode>& coordinates) {
    const int64_t number = collector.Next();
    try {
      ReadFeatureWithId(feature, coordinates, f);
    } catch (const FeatureProblem& p) {
      throw InputError{path, "feature " + std::to_string(number) + " " + p.what};
    } catch (const Json::exception& e) {
      throw InputError{path, "feature " + std::to_string(number) + ": " + e.what()};
    }
    collector.Add(f);
  };
  FeatureStream stream(take);
  if (!stream.Parse(text, size)) {
    size_t at = stream.ErrorByte();
    if (at >= head) at = at - head + resume_at;
    throw InputError{path, "is no JSON (at byte " + std::to_string(at) + ")"};
  }
  const FeatureFields& top = stream.Top();
  const std::string type = top.is_object && top.type.IsText() ? top.type.text : std::string();
  if (type == "FeatureCollection") {
    if (!stream.SawFeatures()) throw InputError{path, "FeatureCollection has no features array"};
  } else if (type == "Feature" && !stream.SawFeatures()) {
    take(top, stream.Coordinates());
  } else {
    throw InputError{path, "is no GeoJSON FeatureCollection or Feature"};
  }
}

// One run parsed by a worker: its features with their ids, or failed when
// anything about it was not clean (the reader then parses on serially from
// the run's start, which gives bad input its exact message).
struct RunResult {
  bool done = false;
  bool ok = false;
  // The first count are the run's; the rest are kept for their capacity, as
  // is the vector itself once read: the next run reuses them.
  std::vector<Feature> features;
  size_t count = 0;
};

// Parses the runs of a FeatureCollection on worker threads, a bounded
// number ahead of the thread that hands their features to the collector in
// file order.
class ParallelReader {
 public:
  ParallelReader(const char* text, size_t size, const FeatureRuns& runs, int workers)
      : text_(text),
        size_(size),
        runs_(runs),
        results_(runs.starts.size()),
        ahead_(static_cast<size_t>(workers) * 2) {
    // A thread the system refuses leaves fewer workers, or none: then Read
    // fails at the first run and the whole text is parsed in one pass.
    try {
      for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {
    }
  }
  ~ParallelReader() { Stop(); }

  // Hands out the runs in order; false (features of earlier runs already
  // added) when run *failed did not parse cleanly.
  bool Read(Collector& collector, Progress& progress, size_t* failed) {
    *failed = 0;
    if (threads_.empty()) return false;
    for (size_t k = 0; k < results_.size(); ++k) {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return results_[k].done; });
      RunResult result = std::move(results_[k]);
      results_[k] = RunResult{};
      results_[k].done = true;
      consumed_ = k + 1;
      lock.unlock();
      changed_.notify_all();
      if (!result.ok) {
        *failed = k;
        return false;
      }
      for (size_t i = 0; i < result.count; ++i) collector.Add(result.features[i]);
      progress.Advance(k + 1 < results_.size() ? static_cast<int64_t>(runs_.starts[k + 1])
                                               : static_cast<int64_t>(size_));
      lock.lock();
      spare_.push_back(std::move(result.features));
    }
    return true;
  }

 private:
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& t : threads_) t.join();
    threads_.clear();
  }

  void Work() {
    std::string text;
    for (;;) {
      size_t k;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || next_ < consumed_ + ahead_; });
        if (stopping_ || next_ >= results_.size()) return;
        k = next_++;
      }
      RunResult result = ParseRun(k, text);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        result.done = true;
        results_[k] = std::move(result);
      }
      changed_.notify_all();
    }
  }

  RunResult ParseRun(size_t k, std::string& text) {
    const bool last = k + 1 == runs_.starts.size();
    const size_t start = runs_.starts[k];
    const size_t end = last ? size_ : runs_.starts[k + 1] - 1;
    RunResult result;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!spare_.empty()) {
        result.features = std::move(spare_.back());
        spare_.pop_back();
      }
    }
    try {
      text.assign(text_, runs_.head);
      text.append(text_ + start, end - start);
      if (!last) text.append("]}");
      auto take = [&result](const FeatureFields& feature,
                            const std::vector<CoordinateNode>& coordinates) {
        if (result.count == result.features.size()) result.features.emplace_back();
        ReadFeatureWithId(feature, coordinates, result.features[result.count++]);
      };
      FeatureStream stream(take);
      if (!stream.Parse(text) || !stream.SawFeatures()) return result;
      if (last) {
        const FeatureFields& top = stream.Top();
        if (!top.type.IsText() || top.type.text != "FeatureCollection") return result;
      } else if (stream.KeysAfterFeatures() != 0) {
        // The cut fell after the features array: the run ran into the
        // members that follow it.
        return result;
      }
      result.ok = true;
    } catch (...) {
      result.count = 0;
    }
    return result;
  }

  const char* text_;
  size_t size_;
  const FeatureRuns& runs_;
  std::vector<RunResult> results_;
  std::vector<std::vector<Feature>> spare_;  // features of runs read, for reuse
  const size_t ahead_;
  std::mutex mutex_;
  std::condition_variable changed_;
  size_t next_ = 0;      // the next run a worker takes
  size_t consumed_ = 0;  // runs handed out so far
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// The file's bytes: large files mapped where they can be (a copy would
// cost a fresh zeroed page for every 4 KB), small ones read.
class InputBytes {
 public:
  explicit InputBytes(const std::string& path) {
    std::error_code error;
    const auto file_size = std::filesystem::file_size(path, error);
    try {
      // One view of the whole file, where the address space has room for it.
      if (!error && file_size >= (uintmax_t{1} << 20) &&
          (file_size < (uintmax_t{1} << 30) || sizeof(void*) >= 8)) {
        mapped_ = std::make_unique<orvo::TFileReader64>(
            path.c_str(),
            static_cast<uint32_t>(std::min<uintmax_t>(file_size, UINT32_MAX - (1 << 20))));
        const int64_t size = mapped_->Size();
        if (const uint8_t* p = mapped_->MapRange(0, size)) {
          data_ = reinterpret_cast<const char*>(p);
          size_ = static_cast<size_t>(size);
          return;
        }
      }
    } catch (...) {
    }
    mapped_.reset();
    std::ifstream in(path, std::ios::binary);
    if (!in) throw InputError{path, "cannot be opened"};
    in.seekg(0, std::ios::end);
    bytes_.resize(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    if (!in.read(bytes_.data(), static_cast<std::streamsize>(bytes_.size())))
      throw InputError{path, "cannot be read"};
    data_ = bytes_.data();
    size_ = bytes_.size();
  }

  const char* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  std::unique_ptr<orvo::TFileReader64> mapped_;
  std::string bytes_;
  const char* data_ = nullptr;
  size_t size_ = 0;
};

// Progress of a serial parse counts features; their number is estimated by
// the type member.
void EstimateFeatures(const char* text, size_t size, int64_t done, Progress& progress) {
  const std::string_view all(text, size);
  int64_t expected = done;
  for (size_t at = all.find("\"Feature\""); at != std::string_view::npos;
       at = all.find("\"Feature\"", at + 9))
    ++expected;
  progress.SetTotal(expected);
}

}  // namespace

int64_t ReadGeoJsonText(const std::string& path, const char* text, size_t size, Progress& progress,
                        const std::function<void(const Feature&)>& sink,
                        const GeoJsonReading& reading) {
  Collector collector(progress, sink);
  FeatureRuns runs;
  if (reading.workers >= 1 && size > reading.run_bytes &&
      FindFeatureRuns(text, size, reading.run_bytes, &runs) && runs.starts.size() >= 2) {
    // Progress by bytes, as the runs are read.
    collector.CountProgress(false);
    progress.SetTotal(static_cast<int64_t>(size));
    size_t failed = 0;
    bool whole;
    {
      ParallelReader reader(text, size, runs, reading.workers);
      whole = reader.Read(collector, progress, &failed);
    }
    if (!whole) {
      // On from the run that did not parse: its start lies between two
      // features, where every run before it ended cleanly.
      const size_t from = runs.starts[failed];
      std::string rest(text, runs.head);
      rest.append(text + from, size - from);
      collector.CountProgress(true);
      EstimateFeatures(rest.data(), rest.size(), collector.Count(), progress);
      ParseSerially(path, rest.data(), rest.size(), runs.head, from, collector);
    }
  } else {
    EstimateFeatures(text, size, 0, progress);
    ParseSerially(path, text, size, 0, 0, collector);
  }
  collector.Finish(path);
  return collector.Count();
}

int64_t ReadGeoJson(const std::string& path, Progress& progress,
                    const std::function<void(const Feature&)>& sink) {
  const InputBytes bytes(path);
  GeoJsonReading reading;
  const unsigned cores = std::thread::hardware_concurrency();
  reading.workers = cores >= 2 ? static_cast<int>(std::min(cores, 4u)) : 0;
  return ReadGeoJsonText(path, bytes.Data(), bytes.Size(), progress, sink, reading);
}

}  // namespace orvotool
