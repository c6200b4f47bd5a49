// DEM histograms and palettes: counting into records, histogram files of
// views and whole rasters, the palettes of heights, the limited and custom
// DEM palettes, against colours computed here independently.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/api_object.h"
#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

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
  EXPECT_FALSE(histogram->Save(dir.File("no/such/h.hst").c_str()));

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

#ifndef _WIN32
  ASSERT_TRUE(histogram->BuildFromValues(values, 4));
  const std::string cut = dir.File("cut.hst");
  EXPECT_FALSE(UnderSizeLimit(30, [&] { return histogram->Save(cut.c_str()); }));
  EXPECT_EQ(std::fopen(cut.c_str(), "rb"), nullptr);
#endif
}

TEST(DemHistogramm, AViewWindowIsCountedWhereTheRasterCoversIt) {
  TempDir dir;
  ASSERT_NE(MakeRaster(dir.File("d.r0"), 6, 4, 4, 4, 2,
                       [](int32_t x, int32_t y) { return static_cast<uint32_t>(100 + x + y); }),
            nullptr);
  ASSERT_NE(MakeRaster(dir.File("e.r0"), 2, 2, 2, 2, 1, [](int32_t, int32_t) { return 1u; }),
            nullptr);
  Released<IRasterView> view(OpenRasterView(dir.File("d.r0").c_str()));
  ASSERT_NE(view, nullptr);
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  EXPECT_FALSE(histogram->BuildFromView(view.get(), 3, 3, 4, 2, 1));  // nothing prepared
  ASSERT_TRUE(view->Prepare(nullptr, 3, 3, 4, 2, 1));
  // Covered: columns 4..5 of rows 2..3; the 9999 background is not counted.
  EXPECT_TRUE(histogram->BuildFromView(view.get(), 3, 3, 4, 2, 1));
  EXPECT_EQ(RecordsOf(histogram.get()), (HistogramRecords{{106, 1}, {107, 2}, {108, 1}}));
  EXPECT_EQ(histogram->GetMinHeight(), 106);
  EXPECT_EQ(histogram->GetMaxHeight(), 108);
  EXPECT_FALSE(histogram->BuildFromView(view.get(), 2, 3, 4, 2, 1));  // not the window's size
  EXPECT_FALSE(histogram->BuildFromView(view.get(), 3, 3, 6, 2, 1));
  EXPECT_FALSE(histogram->BuildFromView(nullptr, 3, 3, 4, 2, 1));

  Released<IRasterView> bytes(OpenRasterView(dir.File("e.r0").c_str()));
  ASSERT_TRUE(bytes->Prepare(nullptr, 2, 1, 0, 0, 1));
  EXPECT_FALSE(histogram->BuildFromView(bytes.get(), 1, 1, 0, 0, 1));  // 1-byte pixels
}

// A raster of 2-byte pixels whose tile (1, 0) cannot be read.
class TMissingTile : public orvo::TApiObject<IRaster> {
 public:
  int32_t ORVO_STDCALL GetWidth() override { return 4; }
  int32_t ORVO_STDCALL GetHeight() override { return 2; }
  int32_t ORVO_STDCALL GetTileWidth() override { return 2; }
  int32_t ORVO_STDCALL GetTileHeight() override { return 2; }
  int32_t ORVO_STDCALL GetPixelSize() override { return 2; }
  int64_t ORVO_STDCALL GetFileSize() override { return 0; }
  bool ORVO_STDCALL GetPixel(int32_t, int32_t, void*) override { return false; }
  bool ORVO_STDCALL SetPixel(int32_t, int32_t, const void*) override { return false; }
  bool ORVO_STDCALL GetPixelBlock(int32_t, int32_t, int32_t, int32_t, void*) override {
    return false;
  }
  bool ORVO_STDCALL SetPixelBlock(int32_t, int32_t, int32_t, int32_t, const void*) override {
    return false;
  }
  void* ORVO_STDCALL GetTile(int32_t tx, int32_t) override { return tx == 0 ? tile_ : nullptr; }
  IRaster* ORVO_STDCALL Clone(bool) override { return nullptr; }

 private:
  uint16_t tile_[4] = {1, 1, 1, 1};
};

TEST(BuildRasterHistogramm, CountsWholeTilesAndRefusesWhatItCannotRead) {
  TempDir dir;
  const std::string path = dir.File("r.hst");
  // 3 x 3 in tiles of 2 x 2: the padding of edge tiles (0) counts too.
  Released<IRaster> raster = MakeRaster(dir.File("r.raster"), 3, 3, 2, 2, 2,
                                        [](int32_t x, int32_t) { return x == 0 ? 0xFFFFu : 5u; });
  ASSERT_NE(raster, nullptr);
  ASSERT_TRUE(BuildRasterHistogramm(path.c_str(), raster.get()));
  EXPECT_EQ(ReadFileBytes(path), HistogramBytes(50, {{0, 7}, {5, 6}, {0xFFFF, 3}}));
  Released<IPalette> palette(DemHistogramm2Palette(path.c_str()));
  EXPECT_NE(palette, nullptr);
#ifndef _WIN32
  const std::string cut = dir.File("cut.hst");
  EXPECT_FALSE(
      UnderSizeLimit(30, [&] { return BuildRasterHistogramm(cut.c_str(), raster.get()); }));
  EXPECT_EQ(std::fopen(cut.c_str(), "rb"), nullptr);
#endif

  const std::string refused = dir.File("refused.hst");
  Released<IRaster> bytes =
      MakeRaster(dir.File("b.raster"), 2, 2, 2, 2, 1, [](int32_t, int32_t) { return 1u; });
  EXPECT_FALSE(BuildRasterHistogramm(refused.c_str(), bytes.get()));
  Released<IRaster> missing(new TMissingTile());
  EXPECT_FALSE(BuildRasterHistogramm(refused.c_str(), missing.get()));
  EXPECT_FALSE(BuildRasterHistogramm(refused.c_str(), nullptr));
  EXPECT_EQ(std::fopen(refused.c_str(), "rb"), nullptr);
  EXPECT_FALSE(BuildRasterHistogramm(dir.File("no/such.hst").c_str(), raster.get()));
}

Released<IPalette> Limited(IDemHistogramm* histogram, int32_t min, int32_t max) {
  return Released<IPalette>(DemHisto2LimitedPalette(histogram, min, nullptr, max, nullptr, nullptr,
                                                    nullptr, nullptr, nullptr));
}

TEST(DemHisto2LimitedPalette, NarrowRangesAreStretchedLinearly) {
  Released<IPalette> palette = Limited(nullptr, 0, 255);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetCount(), 65536);
  ExpectHeightColours(
      palette.get(),
      {HeightIs(1, Grey(1)), HeightIs(128, Grey(128)), HeightIs(255, Grey(255)), HeightIs(0, kZero),
       HeightIs(-1, kBlack), HeightIs(-32768, kBlack), HeightIs(256, Grey(255)),
       HeightIs(9998, kNoData), HeightIs(9999, kNone), HeightIs(20000, kAbove)});

  // Only 2-byte pixels convert, each through its raw value.
  const uint16_t px[2] = {128, 9999};
  uint8_t dib[6] = {};
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 1, 2), 0);
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 2, 2), 2);
  EXPECT_EQ(Rgb(dib, dib + 6), (Rgb{128, 128, 128, 0, 0, 255}));
  const uint8_t red[3] = {255, 0, 0};
  EXPECT_FALSE(palette->SetColor(70000, red));
  EXPECT_FALSE(palette->SetColor(5, nullptr));
  EXPECT_TRUE(palette->SetColor(65535, red));

  const uint8_t blue[3] = {0, 0, 200}, zero[3] = {9, 9, 9};
  Released<IPalette> swapped(
      DemHisto2LimitedPalette(nullptr, 100, blue, 50, nullptr, nullptr, zero, nullptr, nullptr));
  ExpectHeightColours(swapped.get(), {HeightIs(50, Grey(0)), HeightIs(49, Rgb{0, 0, 200}),
                                      HeightIs(0, Rgb{9, 9, 9}), HeightIs(51, Grey(255))});
}

TEST(DemHisto2LimitedPalette, ManyHeightsOrWideRangesAreEqualised) {
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  // 300 distinct heights 1..300, each once, in a range of 300: equalised.
  std::vector<uint16_t> values;
  for (uint16_t h = 1; h <= 300; ++h) values.push_back(h);
  ASSERT_TRUE(histogram->BuildFromValues(values.data(), 300));
  ExpectHeightColours(Limited(histogram.get(), 1, 300).get(),
                      {HeightIs(1, Grey(0)), HeightIs(151, Grey(150 * 255 / 300)),
                       HeightIs(300, Grey(299 * 255 / 300))});

  // A range of 385 with three heights: equalised by counts; 384 is still
  // stretched.
  const uint16_t few[] = {10, 10, 10, 200, 300};
  ASSERT_TRUE(histogram->BuildFromValues(few, 5));
  ExpectHeightColours(
      Limited(histogram.get(), 0, 385).get(),
      {HeightIs(10, Grey(0)), HeightIs(11, Grey(3 * 255 / 5)), HeightIs(385, Grey(255))});
  ExpectHeightColours(Limited(histogram.get(), 0, 384).get(),
                      {HeightIs(192, Grey(192 * 255 / 384))});

  // Nothing counted but 0 in a wide range: stretched, not divided by zero;
  // special values keep their colours even inside the limits.
  const uint16_t zeros[] = {0, 0};
  ASSERT_TRUE(histogram->BuildFromValues(zeros, 2));
  Released<IPalette> flat = Limited(histogram.get(), -500, 20000);
  ASSERT_NE(flat, nullptr);
  ExpectHeightColours(flat.get(), {HeightIs(-500, Grey(0)), HeightIs(20000, kAbove),
                                   HeightIs(9999, kNone), HeightIs(0, kZero)});
}

TEST(DemHisto2CustomPalette, LeavesTheLimitsForTheCaller) {
  const uint8_t zero[3] = {1, 2, 3};
  Released<IPalette> palette(DemHisto2CustomPalette(nullptr, -10, 10, nullptr, zero, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(palette, nullptr);
  ExpectHeightColours(palette.get(),
                      {HeightIs(-11, Grey(0)), HeightIs(5, Grey(0)), HeightIs(11, Grey(255)),
                       HeightIs(0, Rgb{1, 2, 3}), HeightIs(9998, kNoData)});
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
  ExpectHeightColours(
      p.get(),
      {HeightIs(-6, kBlack), HeightIs(-30000, kBlack), HeightIs(31, kWhite), HeightIs(9997, kWhite),
       HeightIs(0, kGreen), HeightIs(9998, kBlue), HeightIs(9999, kNone), HeightIs(12000, kNone)});
}

TEST(DemPalette, ManyHeightsAreEqualised) {
  // Heights 1..300 once each, 150 three times more, and zeros that count as
  // a distinct height but not in the total.
  std::vector<uint16_t> values;
  for (int h = 1; h <= 300; ++h) values.push_back(static_cast<uint16_t>(h));
  values.insert(values.end(), 3, 150);
  values.insert(values.end(), 50, 0);
  Released<IPalette> p(DemValues2Palette(values.data(), static_cast<int32_t>(values.size())));
  ASSERT_NE(p, nullptr);
  const int64_t total = 303;
  int64_t below = 0;
  for (int h = 1; h <= 300; ++h) {
    EXPECT_EQ(HeightColour(p.get(), h), Grey(static_cast<int>(below * 255 / total))) << h;
    below += h == 150 ? 4 : 1;
  }
  ExpectHeightColours(p.get(), {HeightIs(0, kGreen), HeightIs(301, kWhite)});
}

TEST(DemPalette, WithoutCountedHeightsTheTableKeepsItsColours) {
  const uint16_t values[] = {9999, 12000, static_cast<uint16_t>(-2000)};
  for (int32_t count : {0, 3}) {
    SCOPED_TRACE(count);
    Released<IPalette> p(DemValues2Palette(values, count));
    ASSERT_NE(p, nullptr);
    ExpectHeightColours(p.get(), {HeightIs(12000, kPurple), HeightIs(9999, kNone),
                                  HeightIs(9998, kBlue), HeightIs(0, kGreen), HeightIs(5, kBlack)});
  }
  EXPECT_EQ(DemValues2Palette(nullptr, 2), nullptr);
  EXPECT_EQ(DemValues2Palette(values, -1), nullptr);
}

}  // namespace
}  // namespace orvotest
