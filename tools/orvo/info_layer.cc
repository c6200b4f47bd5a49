// `orvo info` of a vector layer: its files, records, kinds, bound, attribute
// types, index and passport.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "tools/orvo/command.h"
#include "tools/orvo/info.h"
#include "tools/orvo/layer.h"

namespace orvotool {

namespace fs = std::filesystem;

InfoJson BoundJson(double minx, double miny, double maxx, double maxy) {
  return InfoJson::array({minx, miny, maxx, maxy});
}

namespace {

InfoJson FileJson(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return nullptr;
  return InfoJson{{"path", path}, {"size", static_cast<int64_t>(fs::file_size(path, ec))}};
}

InfoJson PassportJson(const LayerFiles& files) {
  if (!fs::exists(files.passport)) return nullptr;
  HMP mp = CreateMP();
  struct Keeper {
    HMP h;
    ~Keeper() { FreeMP(h); }
  } keeper{mp};
  if (!LoadMP(mp, files.passport.c_str())) throw InputError{files.passport, "is no passport"};
  std::vector<char> buffer(4096);
  InfoJson j = InfoJson::object();
  j["path"] = files.passport;
  j["alias"] = GetAliasMP(mp, buffer.data(), static_cast<int32_t>(buffer.size()))
                   ? std::string(buffer.data())
                   : std::string();
  BOUND b{0, 0, 0, 0};
  GetBoundMP(mp, &b);
  j["bound"] = BoundJson(b.minx, b.miny, b.maxx, b.maxy);
  InfoJson props = InfoJson::object();
  for (int32_t i = 0; i < GetAttributeCountMP(mp); ++i) {
    if (!GetAttributeIdPosMP(mp, i, buffer.data(), static_cast<int32_t>(buffer.size()))) continue;
    const std::string key = buffer.data();
    if (GetAttributePosMP(mp, i, buffer.data(), static_cast<int32_t>(buffer.size())))
      props[key] = std::string(buffer.data());
  }
  j["properties"] = std::move(props);
  return j;
}

}  // namespace

InfoJson LayerInfo(const std::string& path) {
  LayerReader reader(path);
  const LayerFiles& files = reader.Files();
  std::map<std::string, int64_t> kinds;
  std::map<std::string, std::set<std::string>> types;  // attribute id -> types seen
  std::set<std::string> classes;
  int64_t records = 0, vertices = 0, with_z = 0, with_attributes = 0;
  double minx = 0, miny = 0, maxx = 0, maxy = 0;
  Feature f;
  while (reader.Next(&f)) {
    ++records;
    ++kinds[KindName(f.kind)];
    with_z += f.has_z ? 1 : 0;
    vertices += static_cast<int64_t>(f.xy.size() / 2);
    for (size_t i = 0; i < f.xy.size(); i += 2) {
      if (records == 1 && i == 0) {
        minx = maxx = f.xy[0];
        miny = maxy = f.xy[1];
      }
      minx = std::min(minx, f.xy[i]);
      maxx = std::max(maxx, f.xy[i]);
      miny = std::min(miny, f.xy[i + 1]);
      maxy = std::max(maxy, f.xy[i + 1]);
    }
    if (f.has_attributes) {
      ++with_attributes;
      classes.insert(f.class_code);
      for (const Attribute& a : f.attributes) types[a.id].insert(TypeName(a.type));
    }
  }
  InfoJson j = InfoJson::object();
  j["file"] = path;
  j["kind"] = "layer";
  j["form"] = files.binary ? "binary" : "text";
  j["spatial"] = FileJson(files.spatial);
  j["attribute"] = FileJson(files.attribute);
  j["records"] = records;
  j["vertices"] = vertices;
  InfoJson k = InfoJson::object();
  for (const char* name : {"PNT", "LIN", "RGN", "TXT", "MIX"})
    if (kinds.count(name)) k[name] = kinds[name];
  j["kinds"] = std::move(k);
  j["with_heights"] = with_z;
  j["bound"] = records ? BoundJson(minx, miny, maxx, maxy) : InfoJson(nullptr);
  j["with_attributes"] = with_attributes;
  j["classes"] = InfoJson(std::vector<std::string>(classes.begin(), classes.end()));
  InfoJson attrs = InfoJson::object();
  for (const auto& [id, seen] : types)
    attrs[id] = std::vector<std::string>(seen.begin(), seen.end());
  j["attributes"] = std::move(attrs);
  InfoJson index = FileJson(files.index);
  if (!index.is_null()) index["loaded"] = reader.HasIndex();
  j["index"] = std::move(index);
  j["passport"] = PassportJson(files);
  return j;
}

}  // namespace orvotool
