// ".taws" terrain tiles: one cell of one degree by one degree, a square grid
// of n x n signed 16-bit heights behind a 140-byte head, rows from north to
// south, each from west to east. Neighbouring cells share their edge rows and
// columns. 9999 means no data, 9998 stands for height 0.
#ifndef TAWS_TAWS_TILE_H_
#define TAWS_TAWS_TILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "base/holders.h"
#include "taws/file_map.h"

namespace orvo {

extern const char kCantOpenTile[];     // "Can't open file"
extern const char kWrongFileFormat[];  // "wrong file format"

constexpr int16_t kTawsNoData = 9999;
constexpr int16_t kTawsZero = 9998;

// The head, little-endian; every field at a multiple of 4, no padding.
struct TAWSHEAD {
  int32_t version;  // 1
  char producer[32];
  uint32_t file_size;
  uint32_t file_size_again;
  int32_t zero44;
  int32_t created[3];  // day, month, year
  int32_t changed[3];
  int32_t north;  // edges in arc-seconds
  int32_t west;
  int32_t south;
  int32_t east;
  int32_t zero88;
  uint8_t zero92[32];
  uint32_t columns;  // n
  uint32_t rows;     // n
  int32_t min_height;
  int32_t max_height;
};
static_assert(sizeof(TAWSHEAD) == 140, "the tile head is 140 bytes");
static_assert(offsetof(TAWSHEAD, north) == 72 && offsetof(TAWSHEAD, columns) == 124,
              "tile head layout");

// "folder\E030N60.taws" for the cell whose south-western corner is at
// longitude lon, latitude lat (whole degrees): the name carries the western
// and the northern edge.
std::string TawsTileName(const std::string& folder, int32_t lon, int32_t lat);

// The minimum and maximum of the samples (9998 counting as 0, values of 9998
// and above left out); both 9999 when none counts.
void TawsMinMax(const int16_t* samples, int64_t count, int32_t* min_height, int32_t* max_height);

class TTawsMap {
 public:
  // intervals 0: folder_or_path is the path of an existing tile, opened
  // read-write when it can be written, else read-only. intervals N > 0: the
  // cell's tile in folder_or_path is opened, or created with an
  // (N + 1) x (N + 1) grid of 9999. read_only opens an existing tile
  // read-only and never creates one. Throws "Can't open file" (missing or
  // empty tile), "wrong file format" (inconsistent head) or the mapping's
  // messages; a tile it created is deleted again then.
  TTawsMap(const char* folder_or_path, int32_t lon, int32_t lat, int32_t intervals,
           bool read_only = false);
  struct AtPath {};
  // The same for the cell's tile at exactly path (for writing a tile under a
  // temporary name).
  TTawsMap(AtPath, const std::string& path, int32_t lon, int32_t lat, int32_t intervals);
  // A writable tile gets its head's minimum and maximum refreshed (written
  // only when they changed); a read-only one is left as it is.
  ~TTawsMap();
  TTawsMap(const TTawsMap&) = delete;
  TTawsMap& operator=(const TTawsMap&) = delete;

  const std::string& Path() const { return path_; }
  bool Writable() const { return file_->Writable(); }
  bool Created() const { return created_; }
  int32_t Samples() const { return n_; }  // n, samples a row and a column
  double West() const { return west_; }
  double South() const { return south_; }
  double East() const { return east_; }
  double North() const { return north_; }
  double Spacing() const { return spacing_; }  // arc-seconds
  double MinHeight() const { return min_; }
  double MaxHeight() const { return max_; }
  const int16_t* Grid() const { return grid_; }
  // Null for a read-only tile.
  int16_t* MutableGrid() { return Writable() ? grid_ : nullptr; }

  // Recomputes the head's minimum and maximum; nothing for a read-only tile.
  void UpdateMinMax();

 private:
  void Open(const std::string& path, int32_t lon, int32_t lat, int32_t intervals, bool read_only);
  void Create(int32_t lon, int32_t lat, int32_t intervals);
  void ReadHead();
  TAWSHEAD* Head() const { return reinterpret_cast<TAWSHEAD*>(file_->Base()); }

  double west_ = 0, south_ = 0, east_ = 0, north_ = 0;
  double spacing_ = 0;
  double min_ = 0, max_ = 0;
  bool created_ = false;
  int32_t n_ = 0;
  int16_t* grid_ = nullptr;
  std::string path_;
  TPtr<TFileMap> file_;
};

}  // namespace orvo

#endif  // TAWS_TAWS_TILE_H_
