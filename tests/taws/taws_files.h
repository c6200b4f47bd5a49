// Tile files and tile lists made for the tests.
#ifndef TESTS_TAWS_TAWS_FILES_H_
#define TESTS_TAWS_TAWS_FILES_H_

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "taws/taws_tile.h"
#include "tests/support/temp_dir.h"

namespace orvotest {

// A path the library built ("folder\\NAME.taws") with this system's separator.
inline std::string NativePath(std::string path) {
#ifndef _WIN32
  for (char& c : path)
    if (c == '\\') c = '/';
#endif
  return path;
}

// Creates the tile of the cell at (lon, lat) in folder with intervals + 1
// samples a side, sample (row, column) = value(row, column); returns its path.
inline std::string MakeTile(const std::string& folder, int32_t lon, int32_t lat, int32_t intervals,
                            const std::function<int16_t(int32_t, int32_t)>& value) {
  orvo::TTawsMap tile(folder.c_str(), lon, lat, intervals);
  const int32_t n = intervals + 1;
  for (int32_t r = 0; r < n; ++r)
    for (int32_t c = 0; c < n; ++c) tile.MutableGrid()[r * n + c] = value(r, c);
  return NativePath(tile.Path());
}

// A sample that names its cell and place: unique in small sets.
inline int16_t Marked(int32_t lon, int32_t lat, int32_t row, int32_t column) {
  return static_cast<int16_t>((lon - 30) * 1000 + (lat - 59) * 100 + row * 10 + column);
}

// The record line of the cell at (lon, lat) for its tile file name.
inline std::string TileRecord(int32_t id, int32_t lon, int32_t lat) {
  const std::string path = orvo::TawsTileName("", lon, lat);
  return std::to_string(id) + ", " + std::to_string(lon) + ", " + std::to_string(lat) + ", " +
         std::to_string(lon + 1) + ", " + std::to_string(lat + 1) + ", " + path.substr(1);
}

inline std::string WriteList(const TempDir& dir, const std::vector<std::string>& lines,
                             const char* eol = "\r\n", const char* name = "set.tawslist") {
  std::string text;
  for (const auto& line : lines) text += line + eol;
  const std::string path = dir.File(name);
  WriteFileBytes(path, text);
  return path;
}

template <class T>
T FieldAt(const std::string& bytes, size_t offset) {
  T v{};
  std::memcpy(&v, bytes.data() + offset, sizeof(v));
  return v;
}

}  // namespace orvotest

#endif  // TESTS_TAWS_TAWS_FILES_H_
