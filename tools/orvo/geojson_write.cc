// Layer records written as GeoJSON features.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <future>
#include <nlohmann/json.hpp>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/orvo/command.h"
#include "tools/orvo/geojson.h"

namespace orvotool {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

bool IsUtf8(const std::string& s) {
  const size_t n = s.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t extra;
    uint32_t cp;
    if ((c & 0xE0) == 0xC0) {
      extra = 1;
      cp = c & 0x1Fu;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2;
      cp = c & 0x0Fu;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3;
      cp = c & 0x07u;
    } else {
      return false;
    }
    if (i + extra >= n) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const unsigned char b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3Fu);
    }
    if ((extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) ||
        (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += extra + 1;
  }
  return true;
}

std::string Latin1ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size() * 2);
  for (unsigned char c : s) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

class FeatureWriter {
 public:
  explicit FeatureWriter(std::string* out) : out_(*out) {}

  void Number(double v) {
    if (v == 0 && std::signbit(v)) {
      out_ += "-0.0";  // "-0" would read back as the integer 0
      return;
    }
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof(text), v);
    out_.append(text, end);
  }

  void Position(const Feature& f, size_t vertex) {
    out_ += '[';
    Number(f.xy[2 * vertex]);
    out_ += ',';
    Number(f.xy[2 * vertex + 1]);
    if (f.has_z) {
      out_ += ',';
      Number(f.z[vertex]);
    }
    out_ += ']';
  }

  // The positions of vector v (from vertex first, count vertices), closed
  // by a repeat of its first vertex when close is set.
  void Positions(const Feature& f, size_t first, size_t count, bool close) {
    out_ += '[';
    for (size_t i = 0; i < count; ++i) {
      if (i) out_ += ',';
      Position(f, first + i);
    }
    if (close) {
      out_ += ',';
      Position(f, first);
    }
    out_ += ']';
  }

 private:
  std::string& out_;
};

bool SameVertex(const Feature& f, size_t a, size_t b) {
  return f.xy[2 * a] == f.xy[2 * b] && f.xy[2 * a + 1] == f.xy[2 * b + 1] &&
         (!f.has_z || f.z[a] == f.z[b]);
}

// Even-odd test of (x, y) against the ring of count vertices from first.
bool InsideRing(const Feature& f, size_t first, size_t count, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = count - 1; i < count; j = i++) {
    const double xi = f.xy[2 * (first + i)], yi = f.xy[2 * (first + i) + 1];
    const double xj = f.xy[2 * (first + j)], yj = f.xy[2 * (first + j) + 1];
    if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
  }
  return inside;
}

// Writes the geometry member; sets open_rings when the region's rings were
// closed for GeoJSON.
void WriteGeometry(const Feature& f, std::string& out, bool* open_rings) {
  FeatureWriter w(&out);
  std::vector<size_t> starts(f.sizes.size());
  size_t at = 0;
  bool all_single = true, all_lines = true;
  for (size_t v = 0; v < f.sizes.size(); ++v) {
    starts[v] = at;
    at += static_cast<size_t>(f.sizes[v]);
    all_single &= f.sizes[v] == 1;
    all_lines &= f.sizes[v] >= 2;
  }
  const size_t n = f.sizes.size();
  *open_rings = false;
  if (f.kind == 3) {
    bool all_closed = true, all_open = true;
    for (size_t v = 0; v < n; ++v) {
      const size_t c = static_cast<size_t>(f.sizes[v]);
      const bool closed = c >= 4 && SameVertex(f, starts[v], starts[v] + c - 1);
      all_closed &= closed;
      all_open &= !closed && c >= 3;
    }
    if (all_closed || all_open) {
      *open_rings = all_open;
      // Polygons: an outer ring, then the rings that start inside it.
      std::vector<std::vector<size_t>> polygons;
      for (size_t v = 0; v < n; ++v) {
        if (!polygons.empty()) {
          const size_t outer = polygons.back().front();
          const size_t ring_size = static_cast<size_t>(f.sizes[outer]) - (all_closed ? 1 : 0);
          if (InsideRing(f, starts[outer], ring_size, f.xy[2 * starts[v]],
                         f.xy[2 * starts[v] + 1])) {
            polygons.back().push_back(v);
            continue;
          }
        }
        polygons.push_back({v});
      }
      auto polygon = [&](const std::vector<size_t>& rings) {
        out += '[';
        for (size_t r = 0; r < rings.size(); ++r) {
          if (r) out += ',';
          w.Positions(f, starts[rings[r]], static_cast<size_t>(f.sizes[rings[r]]), all_open);
        }
        out += ']';
      };
      if (polygons.size() == 1) {
        out += "{\"type\":\"Polygon\",\"coordinates\":";
        polygon(polygons[0]);
      } else {
        out += "{\"type\":\"MultiPolygon\",\"coordinates\":[";
        for (size_t p = 0; p < polygons.size(); ++p) {
          if (p) out += ',';
          polygon(polygons[p]);
        }
        out += ']';
      }
      out += '}';
      return;
    }
  } else if (all_single) {
    if (n == 1) {
      out += "{\"type\":\"Point\",\"coordinates\":";
      w.Position(f, 0);
    } else {
      out += "{\"type\":\"MultiPoint\",\"coordinates\":[";
      for (size_t v = 0; v < n; ++v) {
        if (v) out += ',';
        w.Position(f, starts[v]);
      }
      out += ']';
    }
    out += '}';
    return;
  } else if (all_lines) {
    if (n == 1) {
      out += "{\"type\":\"LineString\",\"coordinates\":";
      w.Positions(f, 0, static_cast<size_t>(f.sizes[0]), false);
    } else {
      out += "{\"type\":\"MultiLineString\",\"coordinates\":[";
      for (size_t v = 0; v < n; ++v) {
        if (v) out += ',';
        w.Positions(f, starts[v], static_cast<size_t>(f.sizes[v]), false);
      }
      out += ']';
    }
    out += '}';
    return;
  }
  out += "{\"type\":\"GeometryCollection\",\"geometries\":[";
  for (size_t v = 0; v < n; ++v) {
    if (v) out += ',';
    if (f.sizes[v] == 1) {
      out += "{\"type\":\"Point\",\"coordinates\":";
      w.Position(f, starts[v]);
    } else {
      out += "{\"type\":\"LineString\",\"coordinates\":";
      w.Positions(f, starts[v], static_cast<size_t>(f.sizes[v]), false);
    }
    out += '}';
  }
  out += "]}";
}

void WriteFeature(const Feature& f, const std::string& file, std::string& out) {
  for (double v : f.xy)
    if (!std::isfinite(v))
      throw InputError{file,
                       "record " + std::to_string(f.id) + " has a coordinate GeoJSON cannot hold"};
  for (double v : f.z)
    if (!std::isfinite(v))
      throw InputError{file,
                       "record " + std::to_string(f.id) + " has a height GeoJSON cannot hold"};
  bool latin1 = !IsUtf8(f.class_code);
  for (const Attribute& a : f.attributes)
    latin1 |= !IsUtf8(a.id) || (a.type == kTypeString && !IsUtf8(a.text));
  auto text = [latin1](const std::string& s) { return latin1 ? Latin1ToUtf8(s) : s; };

  Json properties = Json::object();
  Json types = Json::object();
  for (const Attribute& a : f.attributes) {
    const std::string key = text(a.id);
    if (properties.contains(key))
      throw InputError{file, "record " + std::to_string(f.id) + " has attribute " + a.id +
                                 " twice, which GeoJSON properties cannot hold"};
    switch (a.type) {
      case kTypeInt:
        properties[key] = a.integer;
        break;
      case kTypeReal:
        if (std::isfinite(a.real)) {
          properties[key] = a.real;
        } else {
          properties[key] = std::isnan(a.real) ? "nan" : a.real > 0 ? "inf" : "-inf";
          types[key] = "real";
        }
        break;
      case kTypeBlob:
        properties[key] = ValueText(a);
        types[key] = "blob";
        break;
      default:
        properties[key] = text(a.text);
    }
  }
  out += "{\"type\":\"Feature\",\"id\":";
  out += std::to_string(f.id);
  out += ",\"geometry\":";
  bool open_rings = false;
  WriteGeometry(f, out, &open_rings);
  out += ",\"properties\":";
  out += properties.dump();
  out += ",\"orvo:kind\":\"";
  out += KindName(f.kind);
  out += '"';
  if (f.has_attributes) {
    out += ",\"orvo:user_id\":";
    out += std::to_string(f.user_id);
    out += ",\"orvo:class\":";
    out += Json(text(f.class_code)).dump();
  } else {
    out += ",\"orvo:no_attributes\":true";
  }
  if (!types.empty()) {
    out += ",\"orvo:types\":";
    out += types.dump();
  }
  if (open_rings) out += ",\"orvo:open_rings\":true";
  if (latin1) out += ",\"orvo:latin1\":true";
  out += '}';
}

}  // namespace

bool IsGeoJsonPath(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".geojson" || ext == ".json";
}

namespace {

// Features are read on the calling thread and formatted in batches on
// others, a few batches ahead of the one whose text is written next. The
// text goes out in the layer's order, and of the records GeoJSON cannot
// hold the first is reported, as in a single pass.
struct Batch {
  static constexpr size_t kFeatures = 2048;  // about 1 MB of text
  std::vector<Feature> features = std::vector<Feature>(kFeatures);
  size_t count = 0;
  int64_t position = 0;           // the layer's position after the batch's last record
  bool first = false;             // holds the layer's first feature
  std::future<std::string> text;  // last: waited for before features go
};

std::string FormatBatch(const Batch& b, const std::string& path) {
  std::string text;
  for (size_t i = 0; i < b.count; ++i) {
    if (i > 0 || !b.first) text += ",\r\n";
    WriteFeature(b.features[i], path, text);
  }
  return text;
}

}  // namespace

int64_t WriteGeoJson(LayerReader& layer, const std::string& path, Progress& progress) {
  const std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (f == nullptr) throw InputError{path, "cannot be created"};
  struct Closer {
    std::FILE*& f;
    const std::string& temp;
    ~Closer() {
      if (f != nullptr) {
        std::fclose(f);
        std::error_code ec;
        fs::remove(temp, ec);
      }
    }
  } closer{f, temp};
  auto put = [&](const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), f) != text.size())
      throw InputError{path, "cannot be written"};
  };
  put("{\"type\":\"FeatureCollection\",\"features\":[\r\n");

  const unsigned cores = std::thread::hardware_concurrency();
  std::vector<Batch> ring(cores > 1 ? 2 * cores : 2);
  auto write = [&](Batch& b) {
    put(b.text.get());  // a record GeoJSON cannot hold throws here
    progress.Advance(b.position);
  };
  // Writes the batches still formatting, oldest (at slot from) first.
  auto write_pending = [&](size_t from) {
    for (size_t i = 0; i < ring.size(); ++i) {
      Batch& b = ring[(from + i) % ring.size()];
      if (b.text.valid()) write(b);
    }
  };
  int64_t count = 0;
  size_t next = 0;  // the slot filled next; it holds the oldest batch
  try {
    for (;;) {
      Batch& b = ring[next];
      if (b.text.valid()) write(b);
      b.count = 0;
      while (b.count < Batch::kFeatures && layer.Next(&b.features[b.count])) ++b.count;
      if (b.count == 0) break;
      b.position = layer.Position();
      b.first = count == 0;
      count += static_cast<int64_t>(b.count);
      // Runs on the calling thread at get() when no thread can be had.
      b.text = std::async(std::launch::async | std::launch::deferred, FormatBatch, std::cref(b),
                          std::cref(path));
      next = (next + 1) % ring.size();
      if (b.count < Batch::kFeatures) break;
    }
  } catch (const InputError&) {
    write_pending(next);  // a record before the unreadable one may fail first
    throw;
  }
  write_pending(next);
  put("\r\n]}\r\n");
  if (std::fclose(f) != 0) {
    f = nullptr;
    std::error_code ec;
    fs::remove(temp, ec);
    throw InputError{path, "cannot be written"};
  }
  f = nullptr;
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) {
    fs::remove(temp, ec);
    throw InputError{path, "cannot be replaced (" + ec.message() + ")"};
  }
  return count;
}

}  // namespace orvotool
