// Reading and writing palette and histogram files through C runtime streams.
#include "display/palette_file.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "base/errors.h"
#include "display/dem_colors.h"

namespace mt {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

int64_t Get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = v << 8 | p[i];
  return static_cast<int64_t>(v);
}
int32_t Get32(const uint8_t* p) {
  return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                              uint32_t{p[3]} << 24);
}
void Put64(uint8_t* p, int64_t value) {
  auto v = static_cast<uint64_t>(value);
  for (int i = 0; i < 8; ++i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

void ReadPalette(std::FILE* f, TPalette& palette) {
  uint8_t head[kPaletteHeadSize];
  if (std::fread(head, 1, sizeof head, f) != sizeof head ||
      std::memcmp(head, kPaletteMagic, 8) != 0)
    orvo::Raise(kCantLoadPaletteHead);
  const int64_t count = Get64(head + 16);
  if (count < 0 || count > kMaxPaletteEntries) orvo::Raise(kCantLoadPaletteHead);
  TPalette::Entries& entries = palette.ResetEntries(static_cast<int32_t>(count));
  int32_t read = 0;
  uint8_t rgb[3];
  while (read < count && std::fread(rgb, 1, 3, f) == 3) {
    TPalette::RGBHISTO& e = entries[read++];
    e.counter = 0;
    e.red = rgb[0];
    e.green = rgb[1];
    e.blue = rgb[2];
  }
  if (read != count) orvo::Raise(kBadPaletteFormat);
}

void ReadHistogram(std::FILE* f, TPalette& palette) {
  uint8_t head[kHistogramHeadSize];
  if (std::fread(head, 1, sizeof head, f) != sizeof head ||
      std::memcmp(head, kHistogramMagic, 8) != 0 || Get32(head + 16) != 2)
    orvo::Raise(kCantLoadPalette);
  TPalette::Entries& entries = InitDemEntries(palette);
  uint8_t record[kHistogramRecordSize];
  while (std::fread(record, 1, sizeof record, f) == sizeof record) {
    const int32_t value = record[0] | record[1] << 8;
    entries[value].counter = Get64(record + 2);
  }
  ColourDemEntries(entries);
}

std::vector<uint8_t> PaletteHead(int32_t count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(kPaletteHeadSize + int64_t{count} * 3));
  std::memcpy(bytes.data(), kPaletteMagic, 8);
  Put64(bytes.data() + 8, static_cast<int64_t>(bytes.size()));
  Put64(bytes.data() + 16, count);
  return bytes;
}

void Put32(uint8_t* p, int32_t value) {
  auto v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i, v >>= 8) p[i] = static_cast<uint8_t>(v);
}

}  // namespace

bool WriteWholeFile(const char* path, const std::vector<uint8_t>& bytes) {
  if (path == nullptr) orvo::Raise(orvo::kCantOpenFile);
  std::FILE* f = std::fopen(path, "wb");
  if (f == nullptr) orvo::Raise(orvo::kCantOpenFile);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fflush(f) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) std::remove(path);
  return ok;
}

bool ReadHistogramRecords(const char* path, std::vector<SHORTHISTORECORD>* records) {
  records->clear();
  if (path == nullptr) return false;
  File f(std::fopen(path, "rb"));
  uint8_t head[kHistogramHeadSize];
  if (f == nullptr || std::fread(head, 1, sizeof head, f.get()) != sizeof head ||
      std::memcmp(head, kHistogramMagic, 8) != 0 || Get32(head + 16) != 2)
    return false;
  const int64_t size = Get64(head + 8);
  if (size < kHistogramHeadSize - kHistogramRecordSize + 1) return false;  // n below 0
  const int64_t n = (size - kHistogramHeadSize) / kHistogramRecordSize;
  // The size field is not to be trusted with an allocation: the records
  // grow as they are read, and a short file ends the read.
  uint8_t record[kHistogramRecordSize];
  for (int64_t i = 0; i < n; ++i) {
    if (std::fread(record, 1, sizeof record, f.get()) != sizeof record) {
      records->clear();
      return false;
    }
    records->push_back({static_cast<uint16_t>(record[0] | record[1] << 8), Get64(record + 2)});
  }
  return true;
}

std::vector<uint8_t> HistogramFileBytes(const SHORTHISTORECORD* records, size_t count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(kHistogramHeadSize) +
                             count * static_cast<size_t>(kHistogramRecordSize));
  std::memcpy(bytes.data(), kHistogramMagic, 8);
  Put64(bytes.data() + 8, static_cast<int64_t>(bytes.size()));
  Put32(bytes.data() + 16, 2);
  uint8_t* out = bytes.data() + kHistogramHeadSize;
  for (size_t i = 0; i < count; ++i, out += kHistogramRecordSize) {
    out[0] = static_cast<uint8_t>(records[i].value);
    out[1] = static_cast<uint8_t>(records[i].value >> 8);
    Put64(out + 2, records[i].count);
  }
  return bytes;
}

void LoadPaletteFile(const char* path, TPalette& palette) {
  if (path == nullptr) orvo::Raise(orvo::kCantOpenFile);
  palette.set_source_path(path);
  File f(std::fopen(path, "rb"));
  if (f == nullptr) orvo::Raise(orvo::kCantOpenFile);
  uint8_t head[16];
  const bool whole_head = std::fread(head, 1, sizeof head, f.get()) == sizeof head;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) orvo::Raise(kBadPaletteFileFormat);
  const int64_t length = std::ftell(f.get());
  std::rewind(f.get());
  if (!whole_head || length < 0 || length != Get64(head + 8)) orvo::Raise(kBadPaletteFileFormat);
  if (std::memcmp(head, kPaletteMagic, 8) == 0) {
    ReadPalette(f.get(), palette);
  } else if (std::memcmp(head, kHistogramMagic, 8) == 0) {
    ReadHistogram(f.get(), palette);
  } else {
    orvo::Raise(kBadPaletteFileFormat);
  }
}

bool SavePaletteRgbFile(const char* path, const uint8_t* rgb, int32_t count) {
  if (count < 0 || count > kMaxPaletteEntries || (rgb == nullptr && count > 0)) return false;
  std::vector<uint8_t> bytes = PaletteHead(count);
  if (count > 0) std::memcpy(bytes.data() + kPaletteHeadSize, rgb, static_cast<size_t>(count) * 3);
  return WriteWholeFile(path, bytes);
}

bool SavePaletteFile(const char* path, IPalette* palette) {
  if (palette == nullptr) return false;
  const int32_t count = palette->GetCount();
  if (count < 0 || count > kMaxPaletteEntries) return false;
  std::vector<uint8_t> bytes = PaletteHead(count);
  for (int32_t i = 0; i < count; ++i)
    if (!palette->GetColor(bytes.data() + kPaletteHeadSize + int64_t{i} * 3, i)) return false;
  return WriteWholeFile(path, bytes);
}

}  // namespace mt
