// Palette files ("palette_": colour triples) and histogram files
// ("_hstgrmm": height counts) read into palettes, and palette files written.
#ifndef DISPLAY_PALETTE_FILE_H_
#define DISPLAY_PALETTE_FILE_H_

#include <cstdint>
#include <vector>

#include "display/palette.h"

namespace mt {

// Palette file: magic, file size (count * 3 + 24), count, then count
// red-green-blue triples. Integers are 64-bit little-endian.
inline constexpr char kPaletteMagic[] = "palette_";
inline constexpr int64_t kPaletteHeadSize = 24;
// Histogram file: magic, file size (20 + 10 * records), value width (32-bit,
// 2), then records of a 16-bit value and a 64-bit count.
inline constexpr char kHistogramMagic[] = "_hstgrmm";
inline constexpr int64_t kHistogramHeadSize = 20;
inline constexpr int64_t kHistogramRecordSize = 10;

inline constexpr char kBadPaletteFileFormat[] = "bad palette file format";
inline constexpr char kCantLoadPaletteHead[] = "Can't load palette";
inline constexpr char kCantLoadPalette[] = "can't load palette";
inline constexpr char kBadPaletteFormat[] = "bad palette format";

// Loads a palette or histogram file into the palette (histograms give the
// 65536-entry DEM palette). Raises "can't open file" (also for a null path),
// "bad palette file format" (short head, size field not the file's length,
// unknown magic), "Can't load palette" (palette head, count outside
// 0..65536), "can't load palette" (histogram head), "bad palette format"
// (fewer triples than the count).
void LoadPaletteFile(const char* path, TPalette& palette);

// Writes a palette file of count triples; false when count is outside
// 0..65536, rgb is null with count above 0, or a write fails, in which case
// the file is removed. Raises "can't open file" when it cannot be created.
bool SavePaletteRgbFile(const char* path, const uint8_t* rgb, int32_t count);

// Writes the palette's colours as a palette file, as SavePaletteRgbFile;
// false for a null palette or one whose colours cannot all be read.
bool SavePaletteFile(const char* path, IPalette* palette);

// Writes bytes as the whole file; false when a write fails, and then the file
// is removed. Raises "can't open file" when it cannot be created (or for a
// null path).
bool WriteWholeFile(const char* path, const std::vector<uint8_t>& bytes);

// Reads the records of a histogram file: n = (size field - 20) / 10 records
// after the head, the file's length otherwise unchecked. False, records
// cleared, when the file cannot be opened, its head is no histogram head
// ("_hstgrmm", value width 2), n is negative or fewer than n records follow.
bool ReadHistogramRecords(const char* path, std::vector<SHORTHISTORECORD>* records);

// The bytes of a histogram file holding the records.
std::vector<uint8_t> HistogramFileBytes(const SHORTHISTORECORD* records, size_t count);

}  // namespace mt

#endif  // DISPLAY_PALETTE_FILE_H_
