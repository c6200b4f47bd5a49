// Palettes and their files (exact bytes, round trips, damage, failed saves),
// DEM histograms and their files, and the palettes of heights.
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
Rgb Grey(int v) { return Rgb(3, static_cast<uint8_t>(v)); }
// The palette's entry, empty when GetColor refuses it.
Rgb Colour(IPalette* palette, int32_t index) {
  uint8_t rgb[3] = {1, 2, 3};
  if (!palette->GetColor(rgb, index)) return {};
  return {rgb[0], rgb[1], rgb[2]};
}
// The entry of height h (a 16-bit pixel value).
Rgb HeightColour(IPalette* palette, int32_t h) {
  return Colour(palette, static_cast<uint16_t>(static_cast<int16_t>(h)));
}
using HeightRgb = std::pair<int32_t, Rgb>;
void ExpectHeightColours(IPalette* palette, const std::vector<HeightRgb>& want) {
  for (const auto& [h, rgb] : want) EXPECT_EQ(HeightColour(palette, h), rgb) << "height " << h;
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

TEST(Palette, BuildsFromTriplesOrBlackWithinTheCountLimits) {
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
}

TEST(Palette, PixelsBecomeBlueGreenRedThroughTheEntryModuloTheCount) {
  std::vector<uint8_t> rgb(256 * 3);
  for (int i = 0; i < 256; ++i) {
    rgb[i * 3] = static_cast<uint8_t>(i);
    rgb[i * 3 + 1] = static_cast<uint8_t>(255 - i);
    rgb[i * 3 + 2] = 7;
  }
  Released<IPalette> palette(BuildPaletteRgb(rgb.data(), 256));
  ASSERT_NE(palette, nullptr);
  // 2-byte pixels through 256 entries are drawn by the render tool's tests.
  const uint8_t narrow[2] = {1, 200};
  uint8_t out[7] = {};
  out[6] = 0xEE;
  EXPECT_EQ(palette->Pixels2Dib(out, narrow, 1, 2), 2);
  EXPECT_EQ(Rgb(out, out + 7), (Rgb{7, 254, 1, 7, 55, 200, 0xEE}));
  EXPECT_EQ(palette->Pixels2Dib(out, narrow, 4, 1), 0);

  // Through three entries: 5 % 3 = 2.
  Released<IPalette> three(BuildPaletteRgb(rgb.data(), 3));
  const uint8_t five = 5;
  EXPECT_EQ(three->Pixels2Dib(out, &five, 1, 1), 1);
  EXPECT_EQ(Rgb(out, out + 3), (Rgb{7, 253, 2}));
}

std::string PaletteBytes(int64_t size_field, int64_t count, const std::string& triples) {
  return "palette_" + Le64(size_field) + Le64(count) + triples;
}

class PaletteFile : public ::testing::Test {
 protected:
  Released<IPalette> Load(const std::string& bytes) {
    WriteFileBytes(path_, bytes);
    return Released<IPalette>(LoadPalette(path_.c_str()));
  }
  TempDir dir_;
  std::string path_ = dir_.File("p.pal");
};

TEST_F(PaletteFile, SavesExactBytesAndLoadsThemBack) {
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
}

TEST_F(PaletteFile, HeadsAndCountsAreChecked) {
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
    Released<IPalette> p = Load(c.bytes);
    EXPECT_EQ(p == nullptr ? -1 : p->GetCount(), c.count);
  }
  EXPECT_EQ(LoadPalette(nullptr), nullptr);
  EXPECT_EQ(DemHistogramm2Palette(nullptr), nullptr);
  EXPECT_EQ(LoadPalette(dir_.File("missing.pal").c_str()), nullptr);
}

TEST_F(PaletteFile, HistogramsGiveGreyDemPalettesOf65536Entries) {
  // Few heights: a ramp from 100 (black) to 300 (white); a record repeated
  // keeps its last count, a negative count counts as none.
  Released<IPalette> p =
      Load(HistogramBytes({{100, 5}, {200, 0}, {200, 7}, {300, 1}, {400, -3}, {9999, 2}}));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->GetCount(), 65536);
  ExpectHeightColours(p.get(), {{200, Grey(127)}, {300, Grey(255)}, {400, Grey(255)}});
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

// The special colours of the DEM palettes from histograms, and of the
// palettes of heights.
const Rgb kZero{0, 255, 0}, kNoData{0, 0, 255}, kNone{255, 0, 0}, kAbove{128, 0, 255};
const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kGreen{0, 128, 0}, kBlue{0, 0, 128},
    kPurple{128, 0, 128};

TEST(DemHistogramm, CountsIntoRecordsWithTheLimitsOfRealHeights) {
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
}

TEST(DemHistogramm, SavesExactBytesAndLoadsThemBackKeepingTheLimits) {
  TempDir dir;
  const std::string path = dir.File("h.hst");
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
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

  // The size field gives the count; a longer file is read only so far, a
  // shorter one fails and leaves no records.
  struct Case {
    const char* name;
    std::string bytes;
    bool loads;
    size_t records;
  };
  for (const Case& c :
       {Case{"size field short of the file", HistogramBytes(30, {{1, 1}, {2, 2}}), true, 1},
        Case{"size field past the file", HistogramBytes(1000000, {{1, 1}}), false, 0},
        Case{"no records", HistogramBytes(20, {}), true, 0},
        Case{"negative size", HistogramBytes(-5, {{1, 1}}), false, 0},
        Case{"value width 4", "_hstgrmm" + Le64(20) + std::string("\4\0\0\0", 4), false, 0},
        Case{"palette file", "palette_" + Le64(24) + Le64(0), false, 0},
        Case{"cut head", "_hstgrmm", false, 0}}) {
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

Released<IPalette> Limited(IDemHistogramm* histogram, int32_t min, int32_t max) {
  return Released<IPalette>(DemHisto2LimitedPalette(histogram, min, nullptr, max, nullptr, nullptr,
                                                    nullptr, nullptr, nullptr));
}

TEST(DemHisto2LimitedPalette, NarrowRangesAreStretchedLinearly) {
  Released<IPalette> palette = Limited(nullptr, 0, 255);
  ASSERT_NE(palette, nullptr);
  ExpectHeightColours(palette.get(), {{1, Grey(1)},
                                      {128, Grey(128)},
                                      {255, Grey(255)},
                                      {0, kZero},
                                      {-1, kBlack},
                                      {-32768, kBlack},
                                      {256, Grey(255)},
                                      {9998, kNoData},
                                      {9999, kNone},
                                      {20000, kAbove}});

  // Only 2-byte pixels convert, each through its raw value.
  const uint16_t px[2] = {128, 9999};
  uint8_t dib[6] = {};
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 1, 2), 0);
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 2, 2), 2);
  EXPECT_EQ(Rgb(dib, dib + 6), (Rgb{128, 128, 128, 0, 0, 255}));

  const uint8_t blue[3] = {0, 0, 200}, zero[3] = {9, 9, 9};
  Released<IPalette> swapped(
      DemHisto2LimitedPalette(nullptr, 100, blue, 50, nullptr, nullptr, zero, nullptr, nullptr));
  ExpectHeightColours(swapped.get(),
                      {{50, Grey(0)}, {49, Rgb{0, 0, 200}}, {0, Rgb{9, 9, 9}}, {51, Grey(255)}});
  // The custom palette leaves the limits for the caller.
  const uint8_t zero1[3] = {1, 2, 3};
  Released<IPalette> custom(DemHisto2CustomPalette(nullptr, -10, 10, nullptr, zero1, nullptr,
                                                   nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(custom, nullptr);
  ExpectHeightColours(
      custom.get(),
      {{-11, Grey(0)}, {5, Grey(0)}, {11, Grey(255)}, {0, Rgb{1, 2, 3}}, {9998, kNoData}});
}

TEST(DemHisto2LimitedPalette, ManyHeightsOrWideRangesAreEqualised) {
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  // 300 distinct heights 1..300, each once, in a range of 300: equalised.
  std::vector<uint16_t> values;
  for (uint16_t h = 1; h <= 300; ++h) values.push_back(h);
  ASSERT_TRUE(histogram->BuildFromValues(values.data(), 300));
  ExpectHeightColours(Limited(histogram.get(), 1, 300).get(),
                      {{1, Grey(0)}, {151, Grey(150 * 255 / 300)}, {300, Grey(299 * 255 / 300)}});

  // A range of 385 with three heights: equalised by counts; 384 is still
  // stretched.
  const uint16_t few[] = {10, 10, 10, 200, 300};
  ASSERT_TRUE(histogram->BuildFromValues(few, 5));
  ExpectHeightColours(Limited(histogram.get(), 0, 385).get(),
                      {{10, Grey(0)}, {11, Grey(3 * 255 / 5)}, {385, Grey(255)}});
  ExpectHeightColours(Limited(histogram.get(), 0, 384).get(), {{192, Grey(192 * 255 / 384)}});

  // Nothing counted but 0 in a wide range: stretched, not divided by zero;
  // special values keep their colours even inside the limits.
  const uint16_t zeros[] = {0, 0};
  ASSERT_TRUE(histogram->BuildFromValues(zeros, 2));
  Released<IPalette> flat = Limited(histogram.get(), -500, 20000);
  ASSERT_NE(flat, nullptr);
  ExpectHeightColours(flat.get(), {{-500, Grey(0)}, {20000, kAbove}, {9999, kNone}, {0, kZero}});
}

TEST(DemPalette, FewHeightsGetALinearRamp) {
  const uint16_t values[] = {10, 30, 30, 20, 0, static_cast<uint16_t>(-5), 9999, 12000};
  Released<IPalette> p(DemValues2Palette(values, 8));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->GetCount(), 65536);
  // min -5, max 30: grey = (h + 5) * 255 / 35.
  for (int h : {-5, -1, 1, 10, 20, 29, 30})
    EXPECT_EQ(HeightColour(p.get(), h), Grey((h + 5) * 255 / 35)) << h;
  // At or below the lowest black, above the highest white.
  ExpectHeightColours(p.get(), {{-6, kBlack},
                                {-30000, kBlack},
                                {31, kWhite},
                                {9997, kWhite},
                                {0, kGreen},
                                {9998, kBlue},
                                {9999, kNone},
                                {12000, kNone}});
}

TEST(DemPalette, WithoutCountedHeightsTheTableKeepsItsColours) {
  const uint16_t values[] = {9999, 12000, static_cast<uint16_t>(-2000)};
  for (int32_t count : {0, 3}) {
    SCOPED_TRACE(count);
    Released<IPalette> p(DemValues2Palette(values, count));
    ASSERT_NE(p, nullptr);
    ExpectHeightColours(p.get(),
                        {{12000, kPurple}, {9999, kNone}, {9998, kBlue}, {0, kGreen}, {5, kBlack}});
  }
  EXPECT_EQ(DemValues2Palette(nullptr, 2), nullptr);
  EXPECT_EQ(DemValues2Palette(values, -1), nullptr);
}

}  // namespace
}  // namespace orvotest
