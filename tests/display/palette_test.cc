// Palettes and their files, DEM histograms and their files, palettes of heights.
#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/raster/raster_bytes.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

using Rgb = std::vector<uint8_t>;
// The palette's entry, empty when GetColor refuses it.
Rgb Colour(IPalette* palette, int32_t index) {
  uint8_t rgb[3] = {1, 2, 3};
  if (!palette->GetColor(rgb, index)) return {};
  return {rgb[0], rgb[1], rgb[2]};
}

std::string Le64(int64_t v) {
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(static_cast<uint64_t>(v) >> (8 * i));
  return s;
}
// A histogram file of (value, count) records, with the given size field or the true one.
using HistogramRecords = std::vector<std::pair<uint16_t, int64_t>>;
std::string HistogramBytes(int64_t size_field, const HistogramRecords& records) {
  std::string s = "_hstgrmm" + Le64(size_field) + std::string("\x02\0\0\0", 4);
  for (auto [value, count] : records)
    s += std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)} + Le64(count);
  return s;
}
std::string HistogramBytes(const HistogramRecords& records) {
  return HistogramBytes(20 + 10 * static_cast<int64_t>(records.size()), records);
}

#ifndef _WIN32
// Runs body with files limited to limit bytes (a full disk, in effect).
bool UnderSizeLimit(int64_t limit, const std::function<bool()>& body) {
  struct rlimit old_limit;
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = static_cast<rlim_t>(limit);
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool result = body();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  return result;
}
#endif

TEST(Palette, BuildsWithinTheCountLimitsAndConvertsPixelsThroughItsEntries) {
  Released<IPalette> black(BuildPaletteRgb(nullptr, 65536));
  ASSERT_NE(black, nullptr);
  EXPECT_EQ(black->GetCount(), 65536);
  EXPECT_EQ(Colour(black.get(), 65535), (Rgb{0, 0, 0}));
  EXPECT_EQ(Colour(black.get(), 65536), Rgb{});
  EXPECT_EQ(Colour(black.get(), -1), Rgb{});
  EXPECT_EQ(BuildPaletteRgb(nullptr, 65537), nullptr);
  EXPECT_EQ(BuildPaletteRgb(nullptr, -1), nullptr);

  const uint8_t rgb[6] = {10, 20, 30, 40, 50, 60}, red[3] = {255, 0, 0};
  Released<IPalette> two(BuildPaletteRgb(rgb, 2));
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(Colour(two.get(), 1), (Rgb{40, 50, 60}));
  EXPECT_TRUE(two->SetColor(0, red));
  EXPECT_FALSE(two->SetColor(2, red));
  EXPECT_FALSE(two->SetColor(1, nullptr));
  EXPECT_EQ(Colour(two.get(), 0), (Rgb{255, 0, 0}));

  // An empty palette has no entry and converts nothing.
  Released<IPalette> empty(BuildPaletteRgb(nullptr, 0));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetCount(), 0);
  EXPECT_EQ(Colour(empty.get(), 0), Rgb{});
  uint8_t out[3] = {9, 9, 9};
  const uint16_t value = 4;
  EXPECT_EQ(empty->Pixels2Dib(out, &value, 2, 1), 0);
  EXPECT_EQ(empty->Pixels2Dib(out, &value, 1, 1), 0);
  EXPECT_EQ(Rgb(out, out + 3), (Rgb{9, 9, 9}));

  // Pixels become blue, green, red through entry value % count (4 % 2 = 0).
  const uint8_t narrow[2] = {1, 4};
  uint8_t dib[7] = {};
  dib[6] = 0xEE;
  EXPECT_EQ(two->Pixels2Dib(dib, narrow, 1, 2), 2);
  EXPECT_EQ(Rgb(dib, dib + 7), (Rgb{60, 50, 40, 0, 0, 255, 0xEE}));
  EXPECT_EQ(two->Pixels2Dib(dib, narrow, 4, 1), 0);
}

std::string PaletteBytes(int64_t size_field, int64_t count, const std::string& triples) {
  return "palette_" + Le64(size_field) + Le64(count) + triples;
}

class PaletteFile : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string path_ = dir_.File("p.pal");
};

TEST_F(PaletteFile, SavesExactBytesLoadsThemBackAndChecksHeadsAndCounts) {
  const uint8_t rgb[6] = {1, 2, 3, 250, 251, 252};
  ASSERT_TRUE(SavePaletteRgb(path_.c_str(), rgb, 2));
  EXPECT_EQ(ReadFileBytes(path_), PaletteBytes(30, 2, "\x01\x02\x03\xFA\xFB\xFC"));

  Released<IPalette> loaded(LoadPalette(path_.c_str()));
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetCount(), 2);
  EXPECT_EQ(Colour(loaded.get(), 1), (Rgb{250, 251, 252}));
  const std::string again = dir_.File("again.pal");
  ASSERT_TRUE(SavePalette(again.c_str(), loaded.get()));
  EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(path_));
  Released<IPalette> same(DemHistogramm2Palette(path_.c_str()));  // a palette file as it is
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(Colour(same.get(), 1), (Rgb{250, 251, 252}));

  struct Case {
    const char* what;
    std::string bytes;
    int32_t count;  // -1: refused
  };
  const std::string three = "abcdefghi";
  const Case cases[] = {
      {"count 0", PaletteBytes(24, 0, ""), 0},
      {"more triples than the count", PaletteBytes(33, 2, three), 2},
      {"size field not the length", PaletteBytes(32, 3, three), -1},
      {"fewer triples than the count", PaletteBytes(33, 4, three), -1},
      {"count 65537", PaletteBytes(33, 65537, three), -1},
      {"negative count", PaletteBytes(33, -1, three), -1},
      {"a triple cut short", PaletteBytes(32, 3, "abcdefgh"), -1},
      {"short head", std::string("palette_\x0c\0\0\0", 12), -1},
      {"unknown magic", "palettx_" + Le64(24) + Le64(0), -1},
      {"histogram head cut short", "_hstgrmm" + Le64(18) + std::string("\x02\0", 2), -1},
      {"histogram width 4", "_hstgrmm" + Le64(20) + std::string("\x04\0\0\0", 4), -1},
      {"histogram without records", HistogramBytes({}), 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(path_, c.bytes);
    Released<IPalette> p(LoadPalette(path_.c_str()));
    EXPECT_EQ(p == nullptr ? -1 : p->GetCount(), c.count);
  }
  EXPECT_EQ(LoadPalette(nullptr), nullptr);
  EXPECT_EQ(DemHistogramm2Palette(nullptr), nullptr);
  EXPECT_EQ(LoadPalette(dir_.File("missing.pal").c_str()), nullptr);
}

TEST_F(PaletteFile, SavesThatFailLeaveNoFile) {
  const uint8_t rgb[3] = {1, 2, 3};
  EXPECT_FALSE(SavePaletteRgb(path_.c_str(), rgb, -1));
  EXPECT_FALSE(SavePaletteRgb(path_.c_str(), rgb, 65537));
  EXPECT_FALSE(SavePaletteRgb(path_.c_str(), nullptr, 1));
  EXPECT_FALSE(SavePalette(path_.c_str(), nullptr));
  EXPECT_EQ(std::fopen(path_.c_str(), "rb"), nullptr);
  EXPECT_FALSE(SavePaletteRgb(nullptr, rgb, 1));
  EXPECT_FALSE(SavePaletteRgb(dir_.File("no/such/dir.pal").c_str(), rgb, 1));
#ifndef _WIN32
  // Out of room midway: false, and no file a reader could take for a palette.
  const std::vector<uint8_t> many(3 * 1000, 0x33);
  EXPECT_FALSE(
      UnderSizeLimit(100, [&] { return SavePaletteRgb(path_.c_str(), many.data(), 1000); }));
  EXPECT_EQ(std::fopen(path_.c_str(), "rb"), nullptr);
#endif
  // An empty palette is a valid file of its head alone.
  ASSERT_TRUE(SavePaletteRgb(path_.c_str(), nullptr, 0));
  EXPECT_EQ(ReadFileBytes(path_), PaletteBytes(24, 0, ""));
}

HistogramRecords RecordsOf(IDemHistogramm* histogram) {
  HistogramRecords out;
  const SHORTHISTORECORD* r = histogram->GetRecords();
  for (int32_t i = 0; i < histogram->GetRecordCount(); ++i) {
    const uint16_t value = r[i].value;  // packed: copied out, not bound
    const int64_t count = r[i].count;
    out.push_back({value, count});
  }
  return out;
}

TEST(DemHistogramm, CountsIntoRecordsWithTheLimitsOfRealHeightsSavedAndLoaded) {
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  ASSERT_NE(histogram, nullptr);
  EXPECT_EQ(histogram->GetRecords(), nullptr);
  EXPECT_EQ(histogram->GetMinHeight(), 9999);
  struct Case {
    std::vector<uint16_t> values;
    bool counted;
    HistogramRecords records;
    int32_t min, max;
  };
  const Case cases[] = {
      {{5, 5, 7, 9998, 9999, 65535}, true, {{5, 2}, {7, 1}, {9998, 1}, {9999, 1}}, 0, 7},
      // -2, 3, -32768
      {{0xFFFE, 3, 0x8000}, true, {{3, 1}, {0x8000, 1}, {0xFFFE, 1}}, -32768, 3},
      {{9999, 9999, 12000}, false, {{9999, 2}, {12000, 1}}, 9999, 9999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.values[0]);
    EXPECT_EQ(histogram->BuildFromValues(c.values.data(), static_cast<int32_t>(c.values.size())),
              c.counted);
    EXPECT_EQ(RecordsOf(histogram.get()), c.records);
    EXPECT_EQ(histogram->GetMinHeight(), c.min);
    EXPECT_EQ(histogram->GetMaxHeight(), c.max);
  }
  EXPECT_FALSE(histogram->BuildFromValues(nullptr, 3));
  EXPECT_FALSE(histogram->BuildFromValues(cases[0].values.data(), 0));
  EXPECT_EQ(histogram->GetRecords(), nullptr);

  // Saved as exact bytes, loaded back keeping the limits.
  TempDir dir;
  const std::string path = dir.File("h.hst");
  EXPECT_FALSE(histogram->Save(path.c_str()));  // nothing to save
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
  const uint16_t values[] = {300, 300, 0xFFFF - 4, 10};
  ASSERT_TRUE(histogram->BuildFromValues(values, 4));
  ASSERT_TRUE(histogram->Save(path.c_str()));
  EXPECT_EQ(ReadFileBytes(path), HistogramBytes(50, {{10, 1}, {300, 2}, {0xFFFB, 1}}));

  Released<IDemHistogramm> loaded(CreateDemHistogramm());
  ASSERT_TRUE(loaded->Load(path.c_str()));
  EXPECT_EQ(RecordsOf(loaded.get()), RecordsOf(histogram.get()));
  EXPECT_EQ(loaded->GetMinHeight(), 9999);

  // The size field gives the count; a shorter file fails and leaves no records.
  struct File {
    const char* name;
    std::string bytes;
    bool loads;
    size_t records;
  };
  for (const File& c :
       {File{"size field short of the file", HistogramBytes(30, {{1, 1}, {2, 2}}), true, 1},
        File{"size field past the file", HistogramBytes(1000000, {{1, 1}}), false, 0},
        File{"no records", HistogramBytes(20, {}), true, 0},
        File{"negative size", HistogramBytes(-5, {{1, 1}}), false, 0},
        File{"value width 4", "_hstgrmm" + Le64(20) + std::string("\4\0\0\0", 4), false, 0},
        File{"palette file", "palette_" + Le64(24) + Le64(0), false, 0},
        File{"cut head", "_hstgrmm", false, 0}}) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(histogram->BuildFromValues(values, 4));
    WriteFileBytes(path, c.bytes);
    EXPECT_EQ(histogram->Load(path.c_str()), c.loads);
    EXPECT_EQ(static_cast<size_t>(histogram->GetRecordCount()), c.records);
    EXPECT_EQ(histogram->GetMaxHeight(), 300);
  }
  EXPECT_FALSE(histogram->Load(dir.File("missing").c_str()));
  EXPECT_FALSE(histogram->Load(nullptr));
}

TEST(BuildRasterHistogramm, CountsWholeTilesAndRefusesWhatItCannotRead) {
  TempDir dir;
  const std::string path = dir.File("r.hst");
  // 3 x 3 in tiles of 2 x 2: the padding of edge tiles (0) counts too.
  Released<IRaster> raster = MakeRaster(dir.File("r.raster"), 3, 3, 2, 2, 2,
                                        [](int32_t x, int32_t) { return x == 0 ? 0xFFFFu : 5u; });
  ASSERT_NE(raster, nullptr);
  ASSERT_TRUE(BuildRasterHistogramm(path.c_str(), raster.get()));
  EXPECT_EQ(ReadFileBytes(path), HistogramBytes(50, {{0, 7}, {5, 6}, {0xFFFF, 3}}));

  const std::string refused = dir.File("refused.hst");
  Released<IRaster> bytes =
      MakeRaster(dir.File("b.raster"), 2, 2, 2, 2, 1, [](int32_t, int32_t) { return 1u; });
  EXPECT_FALSE(BuildRasterHistogramm(refused.c_str(), bytes.get()));
  // A raster of 2-byte pixels whose tile (1, 0) is absent.
  WriteFileBytes(dir.File("m.raster"),
                 VariableRaster(MakeHead(4, 2, 2, 2, 2), {std::string(8, '\1'), std::nullopt}));
  Released<IRaster> missing(OpenRaster(dir.File("m.raster").c_str(), 1, true));
  ASSERT_NE(missing, nullptr);
  EXPECT_FALSE(BuildRasterHistogramm(refused.c_str(), missing.get()));
  EXPECT_FALSE(BuildRasterHistogramm(refused.c_str(), nullptr));
  EXPECT_EQ(std::fopen(refused.c_str(), "rb"), nullptr);
}

// Colours as 0xRRGGBB: greys and the special colours of the palettes of heights.
constexpr int32_t Grey(int v) { return v * 0x010101; }
constexpr int32_t kZero = 0x00FF00, kNoData = 0x0000FF, kNone = 0xFF0000, kAbove = 0x8000FF;
constexpr int32_t kBlack = 0, kWhite = 0xFFFFFF, kGreen = 0x008000, kBlue = 0x000080,
                  kPurple = 0x800080;

// The palette has 65536 entries and gives each height its colour.
void ExpectColours(const char* what, IPalette* made, const std::vector<int32_t>& heights,
                   const std::vector<int32_t>& colours) {
  SCOPED_TRACE(what);
  Released<IPalette> palette(made);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetCount(), 65536);
  for (size_t i = 0; i < heights.size(); ++i) {
    const Rgb rgb = Colour(palette.get(), static_cast<uint16_t>(heights[i]));
    ASSERT_EQ(rgb.size(), 3u) << "height " << heights[i];
    EXPECT_EQ(rgb[0] << 16 | rgb[1] << 8 | rgb[2], colours[i]) << "height " << heights[i];
  }
}

// The limited palette of a histogram of the values (none: no histogram).
IPalette* Limited(const std::vector<uint16_t>& values, int32_t min, int32_t max) {
  Released<IDemHistogramm> h(CreateDemHistogramm());
  if (!values.empty() && !h->BuildFromValues(values.data(), int32_t(values.size()))) return nullptr;
  return DemHisto2LimitedPalette(values.empty() ? nullptr : h.get(), min, nullptr, max, nullptr,
                                 nullptr, nullptr, nullptr, nullptr);
}

// Special heights keep their colours (even inside the limits), the rest is a grey
// ramp, stretched linearly or equalised by the histogram's counts.
TEST(DemPalettes, HeightsGetTheirColours) {
  ExpectColours(
      "narrow range stretched", Limited({}, 0, 255),
      {1, 128, 255, 0, -1, -32768, 256, 9998, 9999, 20000},
      {Grey(1), Grey(128), Grey(255), kZero, kBlack, kBlack, Grey(255), kNoData, kNone, kAbove});
  const uint8_t blue[3] = {0, 0, 200}, nine[3] = {9, 9, 9}, zero[3] = {1, 2, 3};
  ExpectColours(
      "limits swapped, own colours",
      DemHisto2LimitedPalette(nullptr, 100, blue, 50, nullptr, nullptr, nine, nullptr, nullptr),
      {50, 49, 0, 51}, {Grey(0), 0x0000C8, Grey(9), Grey(255)});
  ExpectColours("custom: the limits left to the caller",
                DemHisto2CustomPalette(nullptr, -10, 10, nullptr, zero, nullptr, nullptr, nullptr,
                                       nullptr, nullptr),
                {-11, 5, 11, 0, 9998}, {Grey(0), Grey(0), Grey(255), 0x010203, kNoData});
  std::vector<uint16_t> ramp;  // 300 distinct heights 1..300, each once
  for (uint16_t h = 1; h <= 300; ++h) ramp.push_back(h);
  ExpectColours("many heights equalised", Limited(ramp, 1, 300), {1, 151, 300},
                {Grey(0), Grey(150 * 255 / 300), Grey(299 * 255 / 300)});
  ExpectColours("a range of 385 equalised by counts", Limited({10, 10, 10, 200, 300}, 0, 385),
                {10, 11, 385}, {Grey(0), Grey(3 * 255 / 5), Grey(255)});
  ExpectColours("a range of 384 still stretched", Limited({10, 10, 10, 200, 300}, 0, 384), {192},
                {Grey(192 * 255 / 384)});
  ExpectColours("only 0 counted in a wide range: stretched, not divided by zero",
                Limited({0, 0}, -500, 20000), {-500, 20000, 9999, 0},
                {Grey(0), kAbove, kNone, kZero});
  // A histogram file read as a palette: a record repeated keeps its last count,
  // a negative count counts as none.
  TempDir dir;
  const std::string file = dir.File("h.hst");
  WriteFileBytes(file,
                 HistogramBytes({{100, 5}, {200, 0}, {200, 7}, {300, 1}, {400, -3}, {9999, 2}}));
  ExpectColours("histogram file: a ramp from 100 to 300", LoadPalette(file.c_str()),
                {200, 300, 400}, {Grey(127), Grey(255), Grey(255)});
  // From values: min -5, max 30, grey = (h + 5) * 255 / 35, black below, white above.
  const uint16_t values[] = {10, 30, 30, 20, 0, static_cast<uint16_t>(-5), 9999, 12000};
  ExpectColours("few values: a linear ramp", DemValues2Palette(values, 8),
                {-5, -1, 1, 10, 20, 29, 30, -6, -30000, 31, 9997, 0, 9998, 9999, 12000},
                {Grey(0), Grey(4 * 255 / 35), Grey(6 * 255 / 35), Grey(15 * 255 / 35),
                 Grey(25 * 255 / 35), Grey(34 * 255 / 35), Grey(255), kBlack, kBlack, kWhite,
                 kWhite, kGreen, kBlue, kNone, kNone});
  const uint16_t uncounted[] = {9999, 12000, static_cast<uint16_t>(-2000)};
  for (int32_t count : {0, 3})
    ExpectColours("no counted values", DemValues2Palette(uncounted, count),
                  {12000, 9999, 9998, 0, 5}, {kPurple, kNone, kBlue, kGreen, kBlack});
  EXPECT_EQ(DemValues2Palette(nullptr, 2), nullptr);
  EXPECT_EQ(DemValues2Palette(values, -1), nullptr);

  // Only 2-byte pixels convert, each through its raw value.
  Released<IPalette> palette(Limited({}, 0, 255));
  const uint16_t px[2] = {128, 9999};
  uint8_t dib[6] = {};
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 1, 2), 0);
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 2, 2), 2);
  EXPECT_EQ(Rgb(dib, dib + 6), (Rgb{128, 128, 128, 0, 0, 255}));
}

}  // namespace
}  // namespace orvotest
