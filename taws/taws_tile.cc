// Tile files: creation, the head's checks and its minimum and maximum.
#include "taws/taws_tile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/errors.h"
#include "platform/win32.h"

namespace orvo {

const char kCantOpenTile[] = "Can't open file";
const char kWrongFileFormat[] = "wrong file format";

namespace {

constexpr int64_t kHeadBytes = sizeof(TAWSHEAD);
constexpr int32_t kSecondsPerDegree = 3600;

void Today(int32_t date[3]) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  date[0] = local.tm_mday;
  date[1] = local.tm_mon + 1;
  date[2] = local.tm_year + 1900;
}

bool IsLatitude(int64_t seconds) { return std::llabs(seconds) <= 90 * kSecondsPerDegree; }
bool IsLongitude(int64_t seconds) { return std::llabs(seconds) <= 360 * kSecondsPerDegree; }

}  // namespace

std::string TawsTileName(const std::string& folder, int32_t lon, int32_t lat) {
  const int64_t north = int64_t{lat} + 1;
  char name[64];
  std::snprintf(name, sizeof(name), "%c%03lld%c%02lld.taws", lon >= 0 ? 'E' : 'W',
                std::llabs(int64_t{lon}), north >= 0 ? 'N' : 'S', std::llabs(north));
  return folder + "\\" + name;
}

void TawsMinMax(const int16_t* samples, int64_t count, int32_t* min_height, int32_t* max_height) {
  int32_t lo = INT32_MAX, hi = INT32_MIN;
  for (int64_t i = 0; i < count; ++i) {
    int32_t v = samples[i];
    if (v == kTawsZero) v = 0;
    if (v >= kTawsZero) continue;
    lo = v < lo ? v : lo;
    hi = v > hi ? v : hi;
  }
  if (lo > hi) lo = hi = kTawsNoData;
  *min_height = lo;
  *max_height = hi;
}

TTawsMap::TTawsMap(const char* folder_or_path, int32_t lon, int32_t lat, int32_t intervals,
                   bool read_only) {
  if (folder_or_path == nullptr) Raise(kCantOpenTile);
  Open(intervals > 0 ? TawsTileName(folder_or_path, lon, lat) : folder_or_path, lon, lat, intervals,
       read_only);
}

TTawsMap::TTawsMap(AtPath, const std::string& path, int32_t lon, int32_t lat, int32_t intervals) {
  Open(path, lon, lat, intervals, /*read_only=*/false);
}

TTawsMap::~TTawsMap() { UpdateMinMax(); }

void TTawsMap::Open(const std::string& path, int32_t lon, int32_t lat, int32_t intervals,
                    bool read_only) {
  path_ = path;
  const bool create = intervals > 0 && !read_only;
  // Opening an existing tile never makes a file: a missing one is no tile.
  try {
    file_.reset(new TFileMap(path_.c_str(), 0,
                             create      ? TFileMap::Mode::kCreate
                             : read_only ? TFileMap::Mode::kReadOnly
                                         : TFileMap::Mode::kOpen));
  } catch (const char*) {
    if (!create) Raise(kCantOpenTile);
    throw;
  }
  if (file_->Size() == 0) {
    if (!create) Raise(kCantOpenTile);  // an empty file someone else made stays
    try {
      Create(lon, lat, intervals);
      ReadHead();
    } catch (...) {
      file_.reset();
      DeleteFileA(path_.c_str());
      throw;
    }
    return;
  }
  ReadHead();
}

void TTawsMap::Create(int32_t lon, int32_t lat, int32_t intervals) {
  created_ = true;
  const int64_t n = int64_t{intervals} + 1;
  const int64_t size = kHeadBytes + n * n * 2;
  if (intervals > 46339 || size > UINT32_MAX) Raise(kWrongFileFormat);  // size field is 32-bit
  file_->Resize(size);
  file_->Fit();
  int16_t* grid = reinterpret_cast<int16_t*>(file_->Base() + kHeadBytes);
  for (int64_t i = 0; i < n * n; ++i) grid[i] = kTawsNoData;
  TAWSHEAD head;
  std::memset(&head, 0, sizeof(head));
  head.version = 1;
  std::memcpy(head.producer, "UNKNOWN", 7);
  head.file_size = head.file_size_again = static_cast<uint32_t>(size);
  Today(head.created);
  std::memcpy(head.changed, head.created, sizeof(head.changed));
  head.north = (lat + 1) * kSecondsPerDegree;
  head.west = lon * kSecondsPerDegree;
  head.south = head.north - kSecondsPerDegree;
  head.east = head.west + kSecondsPerDegree;
  head.columns = head.rows = static_cast<uint32_t>(n);
  head.min_height = head.max_height = kTawsNoData;
  std::memcpy(file_->Base(), &head, sizeof(head));
}

void TTawsMap::ReadHead() {
  const int64_t size = file_->Size();
  if (size < kHeadBytes) Raise(kWrongFileFormat);
  TAWSHEAD head;
  std::memcpy(&head, file_->Base(), sizeof(head));
  if (head.file_size != static_cast<uint64_t>(size)) Raise(kWrongFileFormat);
  // A grid of at least 2 x 2 samples (one interval) that lies inside the file.
  const int64_t n = head.columns;
  if (head.rows != head.columns || n < 2 || n > 46341 || kHeadBytes + n * n * 2 > size)
    Raise(kWrongFileFormat);
  if (!IsLatitude(head.north) || !IsLatitude(head.south) || head.south >= head.north ||
      !IsLongitude(head.west) || !IsLongitude(head.east) || head.west >= head.east)
    Raise(kWrongFileFormat);
  north_ = head.north;
  west_ = head.west;
  south_ = head.south;
  east_ = head.east;
  n_ = static_cast<int32_t>(n);
  spacing_ = 3600.0 / static_cast<double>(n - 1);
  min_ = head.min_height;
  max_ = head.max_height;
  grid_ = reinterpret_cast<int16_t*>(file_->Base() + kHeadBytes);
}

void TTawsMap::UpdateMinMax() {
  if (!file_ || !file_->Writable() || grid_ == nullptr) return;
  int32_t lo, hi;
  TawsMinMax(grid_, int64_t{n_} * n_, &lo, &hi);
  // Unchanged heads are not rewritten: their pages stay clean.
  TAWSHEAD* head = Head();
  if (head->min_height != lo) head->min_height = lo;
  if (head->max_height != hi) head->max_height = hi;
  min_ = lo;
  max_ = hi;
}

}  // namespace orvo
