#include "platform/linux/font_faces.h"

#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cctype>
#include <map>
#include <mutex>
#include <tuple>

#include "platform/linux/unload.h"

namespace orvo::linux_api {
namespace {

const char* WindowsAlias(const std::string& name) {
  static const struct {
    const char* windows;
    const char* liberation;
  } kAliases[] = {{"Arial", "Liberation Sans"},
                  {"Times New Roman", "Liberation Serif"},
                  {"Courier New", "Liberation Mono"}};
  for (const auto& alias : kAliases)
    if (strcasecmp(name.c_str(), alias.windows) == 0) return alias.liberation;
  return nullptr;
}

// The fonts of the system, loaded once and kept until the library is unloaded.
FcConfig* Config() {
  static FcConfig* config = [] {
    FcConfig* loaded = FcInitLoadConfigAndFonts();
    if (loaded != nullptr) AtUnload([loaded] { FcConfigDestroy(loaded); });
    return loaded;
  }();
  return config;
}

FaceFile Match(const std::string& name, int weight, bool italic) {
  FaceFile face;
  FcConfig* config = Config();
  if (config == nullptr) return face;
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return face;
  const char* alias = WindowsAlias(name);
  // An empty name is the default face, as for Windows.
  const std::string family = alias ? alias : name.empty() ? "Liberation Sans" : name;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight <= 0 ? 400 : weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return face;
  FcChar8* file = nullptr;
  FcChar8* matched = nullptr;
  int spacing = FC_PROPORTIONAL;
  if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    face.path = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &face.index);
    if (FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch)
      face.family = reinterpret_cast<const char*>(matched);
    FcPatternGetInteger(match, FC_SPACING, 0, &spacing);
  }
  FcPatternDestroy(match);
  const bool mono = spacing == FC_MONO || spacing == FC_CHARCELL;
  const bool serif = face.family.find("Serif") != std::string::npos;
  face.pitch_family = mono ? 0x31 : serif ? 0x12 : 0x22;
  return face;
}

}  // namespace

FaceFile FindFace(const char* name, int weight, bool italic) {
  static std::mutex* mutex = KeptUntilUnload(new std::mutex);
  static auto* known = KeptUntilUnload(new std::map<std::tuple<std::string, int, bool>, FaceFile>);
  std::string key_name = name != nullptr ? name : "";
  for (char& c : key_name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto key = std::make_tuple(key_name, weight >= 600, italic);
  std::lock_guard<std::mutex> lock(*mutex);
  auto it = known->find(key);
  if (it != known->end()) return it->second;
  if (known->size() > 256) known->clear();  // names from hosts are not bounded
  FaceFile face = Match(name != nullptr ? name : "", weight, italic);
  known->emplace(key, face);
  return face;
}

}  // namespace orvo::linux_api
