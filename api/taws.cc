// Terrain tile sets: every export is guarded and gives null, false or 0 on
// any failure.
#include <cstring>
#include <string>
#include <vector>

#include "api/guard.h"
#include "orvoapi.h"
#include "raster/open_raster.h"
#include "raster/raster_bound.h"
#include "raster/raster_file.h"
#include "taws/taws_set.h"

extern "C" {

IRaster* OpenTawsesRaster(const char* list_name, bool read_only) {
  return orvo::OpenTileSetRaster(list_name, read_only);
}

ITransform* LoadTawsTransform(const char* list_name) {
  return orvo::LoadTileSetTransform(list_name);
}

bool WriteTawsesBound(const char* list_name) {
  return orvo::Guarded(false, [&] {
    if (list_name == nullptr) return false;
    orvo::TawsSet set;
    orvo::LoadTawsSet(list_name, &set);
    return orvo::WriteRasterBoundFile((std::string(list_name) + ".corners").c_str(),
                                      static_cast<int32_t>(set.width),
                                      static_cast<int32_t>(set.height), set.bound);
  });
}

int32_t ReadRasterHeadEx(const char* file_name, void* buffer, int32_t size) {
  if (file_name == nullptr || buffer == nullptr || size < orvo::kRasterHeadSize) return 0;
  return orvo::Guarded(0, [&] {
    // Read aside first: a tile list's bytes must not end up in the caller's
    // buffer beyond the head that describes the set.
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const int32_t head_size = orvo::ReadRasterHeadFile(file_name, bytes.data(), size);
    if (head_size != 0) {
      std::memcpy(buffer, bytes.data(), bytes.size());
      return head_size;
    }
    orvo::TawsSet set;
    orvo::LoadTawsSet(file_name, &set);
    orvo::FillTawsSetHead(set, static_cast<uint8_t*>(buffer));
    return static_cast<int32_t>(orvo::kRasterHeadSize);
  });
}

}  // extern "C"
