// `orvo info FILE [--json]`: what a file is and what it holds.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "orvoapi.h"
#include "tools/orvo/commands.h"
#include "tools/orvo/info.h"
#include "tools/orvo/layer.h"

namespace orvotool {

namespace {

namespace fs = std::filesystem;

std::string LowerExtension(const std::string& path) {
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The first 64 KB of the file, for telling the text kinds apart.
std::string Start(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string s(65536, '\0');
  in.read(s.data(), static_cast<std::streamsize>(s.size()));
  s.resize(static_cast<size_t>(in.gcount()));
  return s;
}

bool LooksLikeClassifier(const std::string& start) {
  const std::string up = Upper(start);
  for (const char* prefix : {"[FEATURE.", "[ATTRIBUTE.", "[GROUP.", "[GRAPH."})
    if (up.find(prefix) != std::string::npos) return true;
  return false;
}

// Lines of one integer each (blank lines allowed).
bool LooksLikeSelection(const std::string& start) {
  bool any = false;
  size_t at = 0;
  while (at < start.size()) {
    size_t end = start.find_first_of("\r\n", at);
    if (end == std::string::npos) end = start.size();
    const std::string line = start.substr(at, end - at);
    at = end + 1;
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    size_t i = first + (line[first] == '-' || line[first] == '+' ? 1 : 0);
    if (i >= line.size() || line[i] < '0' || line[i] > '9') return false;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    if (line.find_first_not_of(" \t", i) != std::string::npos) return false;
    any = true;
  }
  return any;
}

InfoJson Describe(const std::string& path) {
  std::error_code ec;
  const std::string ext = LowerExtension(path);
  if (IsLayerPath(path) || ext == ".passport") return LayerInfo(path);
  if (!fs::exists(path, ec)) throw InputError{path, "no such file"};
  if (fs::is_directory(path, ec)) throw InputError{path, "is a folder"};
  if (IsRaster(path.c_str())) return RasterInfo(path);
  if (ext == ".corners") return ControlPointsInfo(path);
  if (ext == ".taws") return TawsTileInfo(path);
  char head[264];
  if (ReadRasterHeadEx(path.c_str(), head, sizeof(head)) == 264) return TawsListInfo(path);
  const std::string start = Start(path);
  if (start.compare(0, 8, "_raster_") == 0) throw InputError{path, "raster head is damaged"};
  if (start.compare(0, 8, "palette_") == 0) return PaletteInfo(path, false);
  if (start.compare(0, 8, "_hstgrmm") == 0) return PaletteInfo(path, true);
  if (ext == ".pgm") return SignLibraryInfo(path);
  if (LooksLikeClassifier(start)) return ClassifierInfo(path);
  if (LooksLikeSelection(start)) return SelectionInfo(path);
  throw InputError{path,
                   "is no kind of file orvo knows (layer, classifier, selection, raster, "
                   "tile list, terrain tile, control points, palette, histogram, sign library)"};
}

void PrintText(const InfoJson& j, std::FILE* out, int indent) {
  for (const auto& [key, value] : j.items()) {
    std::fprintf(out, "%*s%s:", indent, "", key.c_str());
    const bool scalars =
        value.is_array() &&
        std::all_of(value.begin(), value.end(), [](const InfoJson& v) { return v.is_primitive(); });
    if (value.is_object() && !value.empty()) {
      std::fputc('\n', out);
      PrintText(value, out, indent + 2);
    } else if (value.is_array() && !scalars) {
      std::fputc('\n', out);
      for (const InfoJson& item : value) {
        if (item.is_object()) {
          std::fprintf(out, "%*s-\n", indent + 2, "");
          PrintText(item, out, indent + 4);
        } else {
          std::fprintf(out, "%*s- %s\n", indent + 2, "", item.dump().c_str());
        }
      }
    } else if (value.is_string()) {
      std::fprintf(out, " %s\n", value.get<std::string>().c_str());
    } else {
      std::fprintf(out, " %s\n",
                   value.dump(-1, ' ', false, InfoJson::error_handler_t::replace).c_str());
    }
  }
}

int RunInfo(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 1, 1);
  const InfoJson j = Describe(args.operands[0]);
  if (args.Has("--json"))
    std::fprintf(io.out, "%s\n", j.dump(2, ' ', false, InfoJson::error_handler_t::replace).c_str());
  else
    PrintText(j, io.out, 0);
  return 0;
}

}  // namespace

const Command kInfoCommand = {
    "info",
    "tells what a file is and what it holds",
    "usage: orvo info FILE [--json]\n"
    "  tells what FILE is and what it holds: a vector layer (either of its files,\n"
    "  text or binary; with its index and passport), a classifier, a selection,\n"
    "  a raster (tiles, layout, compression, previews, transform), a terrain\n"
    "  tile list or tile (.taws), a control-point (.corners) file, a palette,\n"
    "  a histogram file or a sign library (.pgm). --json prints one JSON object\n"
    "  whose members are listed in docs/orvo.md.\n",
    {{"--json", false}},
    RunInfo};

}  // namespace orvotool
