// SRTM import. An .hgt file is a square grid of 1201 or 3601 big-endian signed
// 16-bit heights, north row first, -32768 for voids, named by its south-western
// corner (N59E030.hgt); it covers exactly one tile cell. Every tile is written
// under a temporary name first; only when all of them are complete are they
// renamed and the tile list replaced, so a failed import leaves nothing new.
#include "tools/orvo/import_hgt.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "base/strings.h"
#include "taws/map_database.h"
#include "taws/taws_tile.h"

namespace orvotool {

const char kTileListName[] = "tawslist.txt";

namespace {

namespace fs = std::filesystem;

constexpr int16_t kVoid = -32768;

const char kUsage[] =
    "usage: orvo import-hgt [--progress] OUTDIR FILE.hgt...\n"
    "  turns SRTM .hgt files (1201 x 1201 or 3601 x 3601 samples, named like\n"
    "  N59E030.hgt by their south-western corner) into .taws tiles in OUTDIR and\n"
    "  writes OUTDIR/tawslist.txt, the tile list of the set (entries for other\n"
    "  cells of an existing list are kept). Voids become 9999, height 0 becomes\n"
    "  9998. --progress shows progress also when output is not a terminal.\n";

struct HgtFile {
  std::string path;
  int32_t lon = 0, lat = 0;  // south-western corner
  int32_t samples = 0;       // a side
  std::string tile_name;     // E030N60.taws
  fs::path temp;
};

// "N59E030.hgt" (either case): the corner; false when the name is no cell.
bool ParseHgtName(const std::string& file_name, int32_t* lon, int32_t* lat) {
  const std::string name = orvo::UpperCopy(fs::path(file_name).filename().string());
  if (name.size() != 11 || name.substr(7) != ".HGT") return false;
  if ((name[0] != 'N' && name[0] != 'S') || (name[3] != 'E' && name[3] != 'W')) return false;
  for (int i : {1, 2, 4, 5, 6})
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return false;
  const int32_t la = (name[1] - '0') * 10 + (name[2] - '0');
  const int32_t lo = (name[4] - '0') * 100 + (name[5] - '0') * 10 + (name[6] - '0');
  *lat = name[0] == 'N' ? la : -la;
  *lon = name[3] == 'E' ? lo : -lo;
  return *lat >= -90 && *lat <= 89 && *lon >= -180 && *lon <= 179;
}

bool IsTerminal(std::FILE* f) {
#ifdef _WIN32
  return _isatty(_fileno(f)) != 0;
#else
  return isatty(fileno(f)) != 0;
#endif
}

// "0...10...20...100 - done." as the work goes on.
class Progress {
 public:
  Progress(std::FILE* out, bool shown, int64_t total)
      : out_(shown ? out : nullptr), total_(total) {}
  void Advance(int64_t done) {
    if (out_ == nullptr) return;
    while (next_ <= 100 && done * 100 >= next_ * total_) {
      if (next_ == 0)
        std::fputs("0", out_);
      else
        std::fprintf(out_, "...%d", next_);
      next_ += 10;
    }
    std::fflush(out_);
  }
  void Done() {
    Advance(total_);
    if (out_ != nullptr) std::fprintf(out_, " - done.\n");
  }

 private:
  std::FILE* out_;
  int64_t total_;
  int next_ = 0;
};

// Writes the tile of one .hgt file under its temporary name; false with the
// problem in *why.
bool WriteTile(const HgtFile& hgt, Progress& progress, int64_t& done, std::string* why) {
  std::ifstream in(hgt.path, std::ios::binary);
  const size_t count = static_cast<size_t>(hgt.samples) * hgt.samples;
  std::vector<uint8_t> raw(count * 2);
  if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()))) {
    *why = "cannot be read";
    return false;
  }
  std::error_code ignored;
  fs::remove(hgt.temp, ignored);
  try {
    orvo::TTawsMap tile(orvo::TTawsMap::AtPath{}, hgt.temp.string(), hgt.lon, hgt.lat,
                        hgt.samples - 1);
    int16_t* grid = tile.MutableGrid();
    if (grid == nullptr || tile.Samples() != hgt.samples) {
      *why = "tile cannot be written";
      return false;
    }
    const size_t row = static_cast<size_t>(hgt.samples);
    for (size_t r = 0; r < row; ++r) {
      for (size_t i = r * row; i < (r + 1) * row; ++i) {
        const int16_t v = static_cast<int16_t>((raw[2 * i] << 8) | raw[2 * i + 1]);
        grid[i] = v == kVoid ? orvo::kTawsNoData : v == 0 ? orvo::kTawsZero : v;
      }
      if (r % 64 == 0) progress.Advance(done + static_cast<int64_t>(r * row));
    }
  } catch (const char* message) {
    *why = std::string("tile cannot be written (") + message + ")";
    return false;
  }
  done += static_cast<int64_t>(count);
  return true;
}

std::string DegreesText(double v) { return orvo::DoubleToString(v, "%.7g"); }

// The list of the set: entries of an existing list for other tiles first,
// then one record a new tile, CR LF line ends.
std::string TileListText(const fs::path& list_path, const std::vector<HgtFile>& files) {
  std::string text;
  int32_t id = 0;
  orvo::TMapDatabase old;
  if (fs::exists(list_path) && old.Load(list_path.string().c_str())) {
    for (int32_t i = 0; i < old.Count(); ++i) {
      const orvo::TBoundEx& e = old.Entry(i);
      bool replaced = false;
      for (const HgtFile& f : files)
        replaced |= orvo::UpperCopy(e.file_name) == orvo::UpperCopy(f.tile_name);
      if (replaced) continue;
      id = std::max(id, e.id);
      text += std::to_string(e.id) + ", " + DegreesText(e.bound.minx) + ", " +
              DegreesText(e.bound.miny) + ", " + DegreesText(e.bound.maxx) + ", " +
              DegreesText(e.bound.maxy) + ", " + e.file_name +
              (e.second_name.empty() ? "" : ", " + e.second_name) + "\r\n";
    }
  }
  for (const HgtFile& f : files)
    text += std::to_string(++id) + ", " + std::to_string(f.lon) + ", " + std::to_string(f.lat) +
            ", " + std::to_string(f.lon + 1) + ", " + std::to_string(f.lat + 1) + ", " +
            f.tile_name + "\r\n";
  return text;
}

}  // namespace

int RunImportHgt(int argc, const char* const* args, std::FILE* out, std::FILE* err) {
  bool progress_wanted = false;
  std::vector<std::string> operands;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = args[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, out);
      return 0;
    }
    if (arg == "--progress") {
      progress_wanted = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
      std::fprintf(err, "orvo import-hgt: unknown option %s\n%s", arg.c_str(), kUsage);
      return 2;
    } else if (arg != "--") {
      operands.push_back(arg);
    }
  }
  if (operands.size() < 2) {
    std::fputs(kUsage, err);
    return 2;
  }
  const fs::path out_dir = operands[0];
  auto fail = [&](const std::string& file, const std::string& why) {
    std::fprintf(err, "orvo import-hgt: %s: %s\n", file.c_str(), why.c_str());
    return 1;
  };

  // Every file is checked before anything is written.
  std::vector<HgtFile> files;
  std::map<std::string, std::string> cells;  // tile name -> the file that gives it
  int64_t total = 0;
  for (size_t i = 1; i < operands.size(); ++i) {
    HgtFile f;
    f.path = operands[i];
    if (!ParseHgtName(f.path, &f.lon, &f.lat))
      return fail(f.path, "name is no SRTM cell (like N59E030.hgt)");
    std::error_code ec;
    const uintmax_t size = fs::file_size(f.path, ec);
    if (ec) return fail(f.path, "cannot be read");
    if (size == 1201u * 1201u * 2u) {
      f.samples = 1201;
    } else if (size == 3601u * 3601u * 2u) {
      f.samples = 3601;
    } else {
      return fail(f.path, "size " + std::to_string(size) +
                              " bytes is no 1201 x 1201 or 3601 x 3601 grid of 2-byte samples");
    }
    f.tile_name = orvo::TawsTileName("", f.lon, f.lat).substr(1);
    auto [it, fresh] = cells.emplace(f.tile_name, f.path);
    if (!fresh) return fail(f.path, "same cell as " + it->second);
    f.temp = out_dir / (f.tile_name + ".tmp");
    total += int64_t{f.samples} * f.samples;
    files.push_back(std::move(f));
  }
  std::error_code ec;
  fs::create_directories(out_dir, ec);
  if (!fs::is_directory(out_dir)) return fail(out_dir.string(), "is no folder");

  const fs::path list_path = out_dir / kTileListName;
  const fs::path list_temp = out_dir / (std::string(kTileListName) + ".tmp");
  auto remove_temps = [&] {
    std::error_code ignored;
    for (const HgtFile& f : files) fs::remove(f.temp, ignored);
    fs::remove(list_temp, ignored);
  };
  Progress progress(out, progress_wanted || IsTerminal(out), total);
  if (progress_wanted || IsTerminal(out))
    std::fprintf(out, "importing %d file(s) into %s: ", static_cast<int>(files.size()),
                 out_dir.string().c_str());
  int64_t done = 0;
  std::string why;
  for (const HgtFile& f : files) {
    if (!WriteTile(f, progress, done, &why)) {
      remove_temps();
      if (progress_wanted || IsTerminal(out)) std::fputc('\n', out);
      return fail(f.path, why);
    }
  }
  {
    std::ofstream list(list_temp, std::ios::binary | std::ios::trunc);
    list << TileListText(list_path, files);
    if (!list.flush()) {
      remove_temps();
      return fail(list_path.string(), "cannot be written");
    }
  }
  for (const HgtFile& f : files) {
    fs::rename(f.temp, out_dir / f.tile_name, ec);
    if (ec) {
      remove_temps();
      return fail((out_dir / f.tile_name).string(), "cannot be replaced (" + ec.message() + ")");
    }
  }
  fs::rename(list_temp, list_path, ec);
  if (ec) {
    remove_temps();
    return fail(list_path.string(), "cannot be replaced (" + ec.message() + ")");
  }
  progress.Done();
  return 0;
}

}  // namespace orvotool
