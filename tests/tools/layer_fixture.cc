// Test layers written through the exports.
#include "tests/tools/layer_fixture.h"

#include <cstring>

#include "orvoapi.h"

namespace orvotest {

using orvotool::Attribute;
using orvotool::Feature;

void WriteLayer(const std::string& path, const std::vector<Feature>& features) {
  HSW sw = CreateSW(path.c_str());
  HAW aw = CreateAW(path.c_str());
  for (const Feature& f : features) {
    if (f.has_z)
      AddRecord3DSW(sw, f.id, f.kind, f.sizes.data(), f.xy.data(),
                    static_cast<int32_t>(f.sizes.size()), f.z.data());
    else
      AddRecordSW(sw, f.id, f.kind, f.sizes.data(), f.xy.data(),
                  static_cast<int32_t>(f.sizes.size()));
    if (!f.has_attributes) continue;
    AddRecordAW(aw, f.id, f.user_id, f.class_code.c_str());
    for (const Attribute& a : f.attributes) {
      if (a.type == orvotool::kTypeInt) AddIntAttributeAW(aw, a.id.c_str(), a.integer);
      if (a.type == orvotool::kTypeReal) AddDoubleAttributeAW(aw, a.id.c_str(), a.real);
      if (a.type == orvotool::kTypeString) AddAttributeAW(aw, a.id.c_str(), a.text.c_str());
      if (a.type == orvotool::kTypeBlob)
        AddBlobAttributeAW(aw, a.id.c_str(), a.blob.data(), static_cast<int32_t>(a.blob.size()));
    }
  }
  FreeSW(sw);
  FreeAW(aw);
}

std::vector<Feature> ReadLayer(const std::string& path) {
  orvotool::LayerReader reader(path);
  std::vector<Feature> all;
  Feature f;
  while (reader.Next(&f)) all.push_back(f);
  return all;
}

Feature MakeFeature(int32_t id, int32_t kind, std::vector<std::vector<double>> vectors,
                    bool with_z) {
  Feature f;
  f.id = id;
  f.kind = kind;
  f.has_z = with_z;
  f.has_attributes = true;
  const size_t dim = with_z ? 3 : 2;
  for (const auto& v : vectors) {
    f.sizes.push_back(static_cast<int32_t>(v.size() / dim));
    for (size_t i = 0; i < v.size(); i += dim) {
      f.xy.push_back(v[i]);
      f.xy.push_back(v[i + 1]);
      if (with_z) f.z.push_back(v[i + 2]);
    }
  }
  return f;
}

Attribute IntAttribute(const std::string& id, int32_t v) {
  return {id, orvotool::kTypeInt, "", v, 0, ""};
}
Attribute RealAttribute(const std::string& id, double v) {
  return {id, orvotool::kTypeReal, "", 0, v, ""};
}
Attribute StringAttribute(const std::string& id, const std::string& v) {
  return {id, orvotool::kTypeString, v, 0, 0, ""};
}
Attribute BlobAttribute(const std::string& id, const std::string& bytes) {
  return {id, orvotool::kTypeBlob, "", 0, 0, bytes};
}

namespace {

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() &&
         (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

std::string RecordDifference(const Feature& a, const Feature& b) {
  const std::string at = "record " + std::to_string(a.id) + ": ";
  if (a.id != b.id) return at + "id " + std::to_string(b.id);
  if (a.kind != b.kind) return at + "kind " + std::to_string(b.kind);
  if (a.has_z != b.has_z) return at + "heights";
  if (a.sizes != b.sizes) return at + "vector sizes";
  if (!SameBits(a.xy, b.xy)) return at + "coordinates";
  if (!SameBits(a.z, b.z)) return at + "heights differ";
  if (a.has_attributes != b.has_attributes) return at + "attribute record";
  if (a.user_id != b.user_id) return at + "user id";
  if (a.class_code != b.class_code) return at + "class code " + b.class_code;
  if (a.attributes.size() != b.attributes.size()) return at + "attribute count";
  for (size_t i = 0; i < a.attributes.size(); ++i) {
    const Attribute &x = a.attributes[i], &y = b.attributes[i];
    if (x.id != y.id || x.type != y.type || x.text != y.text || x.blob != y.blob ||
        x.integer != y.integer || std::memcmp(&x.real, &y.real, sizeof(double)) != 0)
      return at + "attribute " + x.id + " (" + orvotool::ValueText(y) + ")";
  }
  return "";
}

}  // namespace

std::string Difference(const std::vector<Feature>& a, const std::vector<Feature>& b) {
  if (a.size() != b.size()) return std::to_string(b.size()) + " records";
  for (size_t i = 0; i < a.size(); ++i)
    if (std::string d = RecordDifference(a[i], b[i]); !d.empty()) return d;
  return "";
}

}  // namespace orvotest
