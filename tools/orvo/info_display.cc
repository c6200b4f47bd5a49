// `orvo info` of palette, histogram and sign library files.
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "orvoapi.h"
#include "tools/orvo/command.h"
#include "tools/orvo/info.h"

namespace orvotool {

InfoJson PaletteInfo(const std::string& path, bool histogram) {
  IPalette* palette = LoadPalette(path.c_str());
  if (palette == nullptr)
    throw InputError{path, histogram ? "histogram file is damaged" : "palette file is damaged"};
  palette->AddRef();
  const int32_t entries = palette->GetCount();
  std::set<uint32_t> colors;
  uint8_t rgb[3];
  for (int32_t i = 0; i < entries; ++i)
    if (palette->GetColor(rgb, i)) colors.insert(uint32_t{rgb[0]} << 16 | rgb[1] << 8 | rgb[2]);
  palette->Release();
  InfoJson j{{"file", path}, {"kind", histogram ? "histogram" : "palette"}};
  if (histogram) {
    // The library checked the size field against the file: 20 bytes of head,
    // then 10 bytes a counted value.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    j["values"] = ec ? 0 : (size - 20) / 10;
  }
  j["entries"] = entries;
  j["distinct_colors"] = colors.size();
  return j;
}

InfoJson SignLibraryInfo(const std::string& path) {
  IPgm* pgm = OpenPgm(path.c_str());
  if (pgm == nullptr) throw InputError{path, "is no sign library, or a damaged one"};
  pgm->AddRef();
  const int32_t count = pgm->GetSignCount();
  InfoJson widths = InfoJson::array();
  InfoJson damaged = InfoJson::array();
  for (int32_t i = 0; i < count; ++i) {
    widths.push_back(pgm->GetSignWidth(i));
    // Recolouring a colour into itself decodes the picture and changes nothing.
    if (!pgm->RecolorSign(i, 0, 0)) damaged.push_back(i);
    pgm->UnloadSign(i);
  }
  pgm->Release();
  return InfoJson{{"file", path},
                  {"kind", "signs"},
                  {"signs", count},
                  {"widths", widths},
                  {"damaged_signs", damaged}};
}

}  // namespace orvotool
