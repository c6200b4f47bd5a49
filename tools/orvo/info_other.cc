// `orvo info` of classifiers, selections and control-point files.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tools/orvo/command.h"
#include "tools/orvo/info.h"

namespace orvotool {

namespace {

// A classifier string getter's text: the getters give the length needed.
template <class Getter>
std::string Text(Getter getter) {
  std::vector<char> buffer(256, 0);
  for (int round = 0; round < 8; ++round) {
    std::fill(buffer.begin(), buffer.end(), '\0');
    const int32_t n = getter(buffer.data(), static_cast<int32_t>(buffer.size()));
    if (n < static_cast<int32_t>(buffer.size()) && buffer.back() == '\0') return buffer.data();
    buffer.resize(std::max<size_t>(buffer.size() * 4, static_cast<size_t>(n) + 1));
  }
  return buffer.data();
}

const char* LocalName(int32_t local) {
  static const char* const kNames[] = {"PNT", "LIN", "RGN", "TXT"};
  return local >= 1 && local <= 4 ? kNames[local - 1] : "?";
}

}  // namespace

InfoJson ClassifierInfo(const std::string& path) {
  HCS cs = CreateCS();
  struct Keeper {
    HCS h;
    ~Keeper() { FreeCS(h); }
  } keeper{cs};
  if (!LoadFileCS(cs, path.c_str())) throw InputError{path, "is no classifier"};
  InfoJson features = InfoJson::array();
  for (int32_t i = 0; i < GetFeatureCountCS(cs); ++i) {
    const std::string id = Text([&](char* b, int32_t n) { return GetFeatureIdCS(cs, i, b, n); });
    HFT ft = GetFeatureCS(cs, id.c_str());
    InfoJson attrs = InfoJson::array();
    for (int32_t a = 0; a < GetAttributeCountFT(ft); ++a)
      attrs.push_back(Text([&](char* b, int32_t n) { return GetAttributeIdFT(ft, a, b, n); }));
    features.push_back(
        InfoJson{{"id", id},
                 {"name", Text([&](char* b, int32_t n) { return GetNameFT(ft, b, n); })},
                 {"local", LocalName(GetLocalFT(ft))},
                 {"attributes", std::move(attrs)}});
  }
  InfoJson attributes = InfoJson::array();
  for (int32_t i = 0; i < GetAttributeCountCS(cs); ++i) {
    const std::string id = Text([&](char* b, int32_t n) { return GetAttributeIdCS(cs, i, b, n); });
    HAT at = GetAttributeCS(cs, id.c_str());
    InfoJson a{{"id", id},
               {"name", Text([&](char* b, int32_t n) { return GetNameAT(at, b, n); })},
               {"type", GetDataTypeAT(at)},
               {"values", GetValueCountAT(at)}};
    if (HasLimitsAT(at)) {
      a["min"] = Text([&](char* b, int32_t n) { return GetMinAT(at, b, n); });
      a["max"] = Text([&](char* b, int32_t n) { return GetMaxAT(at, b, n); });
    }
    attributes.push_back(std::move(a));
  }
  InfoJson groups = InfoJson::array(), graphs = InfoJson::array();
  for (int32_t i = 0; i < GetGroupCountCS(cs); ++i)
    groups.push_back(Text([&](char* b, int32_t n) { return GetGroupIdCS(cs, i, b, n); }));
  for (int32_t i = 0; i < GetGraphCountCS(cs); ++i)
    graphs.push_back(Text([&](char* b, int32_t n) { return GetGraphIdCS(cs, i, b, n); }));
  return InfoJson{{"file", path},         {"kind", "classifier"},
                  {"features", features}, {"attributes", attributes},
                  {"groups", groups},     {"graphs", graphs}};
}

InfoJson SelectionInfo(const std::string& path) {
  HSE se = CreateSE();
  const bool loaded = LoadSE(se, path.c_str());
  FreeSE(se);
  if (!loaded) throw InputError{path, "is no selection file"};
  // The set has no enumeration export: count the ids as LoadSE reads them.
  std::ifstream in(path, std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<int32_t> ids;
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find_first_of("\r\n", at);
    if (end == std::string::npos) end = all.size();
    const std::string line = all.substr(at, end - at);
    at = end + 1;
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    const long long v = std::strtoll(line.c_str(), nullptr, 10);
    ids.push_back(static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX)));
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  InfoJson j{{"file", path}, {"kind", "selection"}, {"ids", ids.size()}};
  j["first"] = ids.empty() ? InfoJson(nullptr) : InfoJson(ids.front());
  j["last"] = ids.empty() ? InfoJson(nullptr) : InfoJson(ids.back());
  return j;
}

InfoJson ControlPointsInfo(const std::string& path) {
  ICoords* coords = CreateCoords(path.c_str(), 4);
  if (coords == nullptr) throw InputError{path, "is no control-point file"};
  InfoJson points = InfoJson::array();
  for (int32_t i = 0; i < coords->GetCount(); ++i) {
    const double* p = coords->GetPoint(i);
    points.push_back(InfoJson{{"map", {p[0], p[1]}}, {"pixel", {p[2], p[3]}}});
  }
  coords->Release();
  return InfoJson{
      {"file", path}, {"kind", "control_points"}, {"count", points.size()}, {"points", points}};
}

}  // namespace orvotool
