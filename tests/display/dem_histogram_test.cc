// DEM histograms: counting into records, histogram files of views and whole
// rasters, and the limited and custom DEM palettes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "base/api_object.h"
#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

using Records = std::vector<std::pair<uint16_t, int64_t>>;

Records RecordsOf(IDemHistogramm* histogram) {
  Records out;
  const SHORTHISTORECORD* r = histogram->GetRecords();
  for (int32_t i = 0; i < histogram->GetRecordCount(); ++i) {
    const uint16_t value = r[i].value;  // packed: copied out, not bound
    const int64_t count = r[i].count;
    out.push_back({value, count});
  }
  return out;
}

std::string Le64(int64_t v) {
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(static_cast<uint64_t>(v) >> (8 * i));
  return s;
}

std::string HistogramBytes(int64_t size_field, const Records& records) {
  std::string s = "_hstgrmm" + Le64(size_field) + std::string("\x02\0\0\0", 4);
  for (auto [value, count] : records)
    s += std::string{static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)} + Le64(count);
  return s;
}

std::vector<uint8_t> Colour(IPalette* palette, int32_t h) {
  uint8_t rgb[3] = {1, 2, 3};
  if (!palette->GetColor(rgb, static_cast<uint16_t>(static_cast<int16_t>(h)))) return {};
  return {rgb[0], rgb[1], rgb[2]};
}
std::vector<uint8_t> Grey(int v) {
  const auto g = static_cast<uint8_t>(v);
  return {g, g, g};
}

#ifndef _WIN32
// Runs body with files limited to limit bytes (a full disk, in effect).
bool UnderSizeLimit(rlim_t limit, const std::function<bool()>& body) {
  struct rlimit old_limit;
  getrlimit(RLIMIT_FSIZE, &old_limit);
  struct rlimit small = old_limit;
  small.rlim_cur = limit;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool result = body();
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  return result;
}
#endif

TEST(DemHistogramm, CountsIntoRecordsWithTheLimitsOfRealHeights) {
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  ASSERT_NE(histogram, nullptr);
  EXPECT_EQ(histogram->GetRecords(), nullptr);
  EXPECT_EQ(histogram->GetMinHeight(), 9999);

  const uint16_t values[] = {5, 5, 7, 9998, 9999, 65535};
  EXPECT_TRUE(histogram->BuildFromValues(values, 6));
  EXPECT_EQ(RecordsOf(histogram.get()), (Records{{5, 2}, {7, 1}, {9998, 1}, {9999, 1}}));
  EXPECT_EQ(histogram->GetMinHeight(), 0);
  EXPECT_EQ(histogram->GetMaxHeight(), 7);

  const uint16_t negative[] = {0xFFFE, 3, 0x8000};  // -2, 3, -32768
  EXPECT_TRUE(histogram->BuildFromValues(negative, 3));
  EXPECT_EQ(RecordsOf(histogram.get()), (Records{{3, 1}, {0x8000, 1}, {0xFFFE, 1}}));
  EXPECT_EQ(histogram->GetMinHeight(), -32768);
  EXPECT_EQ(histogram->GetMaxHeight(), 3);

  const uint16_t none[] = {9999, 9999, 12000};
  EXPECT_FALSE(histogram->BuildFromValues(none, 3));
  EXPECT_EQ(RecordsOf(histogram.get()), (Records{{9999, 2}, {12000, 1}}));
  EXPECT_EQ(histogram->GetMinHeight(), 9999);
  EXPECT_EQ(histogram->GetMaxHeight(), 9999);
  EXPECT_FALSE(histogram->BuildFromValues(nullptr, 3));
  EXPECT_FALSE(histogram->BuildFromValues(values, 0));
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
  EXPECT_EQ(RecordsOf(histogram.get()), (Records{{106, 1}, {107, 2}, {108, 1}}));
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

TEST(DemHisto2LimitedPalette, NarrowRangesAreStretchedLinearly) {
  Released<IPalette> palette(DemHisto2LimitedPalette(nullptr, 0, nullptr, 255, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr));
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(palette->GetCount(), 65536);
  for (int32_t h : {1, 128, 255}) EXPECT_EQ(Colour(palette.get(), h), Grey(h)) << h;
  EXPECT_EQ(Colour(palette.get(), 0), (std::vector<uint8_t>{0, 255, 0}));
  EXPECT_EQ(Colour(palette.get(), -1), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(Colour(palette.get(), -32768), (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(Colour(palette.get(), 256), Grey(255));
  EXPECT_EQ(Colour(palette.get(), 9998), (std::vector<uint8_t>{0, 0, 255}));
  EXPECT_EQ(Colour(palette.get(), 9999), (std::vector<uint8_t>{255, 0, 0}));
  EXPECT_EQ(Colour(palette.get(), 20000), (std::vector<uint8_t>{128, 0, 255}));

  // Only 2-byte pixels convert, each through its raw value.
  const uint16_t px[2] = {128, 9999};
  uint8_t dib[6] = {};
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 1, 2), 0);
  EXPECT_EQ(palette->Pixels2Dib(dib, px, 2, 2), 2);
  EXPECT_EQ(std::vector<uint8_t>(dib, dib + 6), (std::vector<uint8_t>{128, 128, 128, 0, 0, 255}));
  const uint8_t red[3] = {255, 0, 0};
  EXPECT_FALSE(palette->SetColor(70000, red));
  EXPECT_FALSE(palette->SetColor(5, nullptr));
  EXPECT_TRUE(palette->SetColor(65535, red));

  const uint8_t blue[3] = {0, 0, 200}, zero[3] = {9, 9, 9};
  Released<IPalette> swapped(
      DemHisto2LimitedPalette(nullptr, 100, blue, 50, nullptr, nullptr, zero, nullptr, nullptr));
  EXPECT_EQ(Colour(swapped.get(), 50), Grey(0));
  EXPECT_EQ(Colour(swapped.get(), 49), (std::vector<uint8_t>{0, 0, 200}));
  EXPECT_EQ(Colour(swapped.get(), 0), (std::vector<uint8_t>{9, 9, 9}));
  EXPECT_EQ(Colour(swapped.get(), 51), Grey(255));
}

TEST(DemHisto2LimitedPalette, ManyHeightsOrWideRangesAreEqualised) {
  Released<IDemHistogramm> histogram(CreateDemHistogramm());
  // 300 distinct heights 1..300, each once, in a range of 300: equalised.
  std::vector<uint16_t> values;
  for (uint16_t h = 1; h <= 300; ++h) values.push_back(h);
  ASSERT_TRUE(histogram->BuildFromValues(values.data(), 300));
  Released<IPalette> palette(DemHisto2LimitedPalette(histogram.get(), 1, nullptr, 300, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(Colour(palette.get(), 1), Grey(0));
  EXPECT_EQ(Colour(palette.get(), 151), Grey(150 * 255 / 300));
  EXPECT_EQ(Colour(palette.get(), 300), Grey(299 * 255 / 300));

  // A range of 385 with three heights: equalised by counts.
  const uint16_t few[] = {10, 10, 10, 200, 300};
  ASSERT_TRUE(histogram->BuildFromValues(few, 5));
  Released<IPalette> wide(DemHisto2LimitedPalette(histogram.get(), 0, nullptr, 385, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(Colour(wide.get(), 10), Grey(0));
  EXPECT_EQ(Colour(wide.get(), 11), Grey(3 * 255 / 5));
  EXPECT_EQ(Colour(wide.get(), 385), Grey(255));
  // 384 is still stretched.
  Released<IPalette> narrow(DemHisto2LimitedPalette(histogram.get(), 0, nullptr, 384, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr));
  EXPECT_EQ(Colour(narrow.get(), 192), Grey(192 * 255 / 384));

  // Nothing counted but 0 in a wide range: stretched, not divided by zero;
  // special values keep their colours even inside the limits.
  const uint16_t zeros[] = {0, 0};
  ASSERT_TRUE(histogram->BuildFromValues(zeros, 2));
  Released<IPalette> flat(DemHisto2LimitedPalette(histogram.get(), -500, nullptr, 20000, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(flat, nullptr);
  EXPECT_EQ(Colour(flat.get(), -500), Grey(0));
  EXPECT_EQ(Colour(flat.get(), 20000), (std::vector<uint8_t>{128, 0, 255}));
  EXPECT_EQ(Colour(flat.get(), 9999), (std::vector<uint8_t>{255, 0, 0}));
  EXPECT_EQ(Colour(flat.get(), 0), (std::vector<uint8_t>{0, 255, 0}));
}

TEST(DemHisto2CustomPalette, LeavesTheLimitsForTheCaller) {
  const uint8_t zero[3] = {1, 2, 3};
  Released<IPalette> palette(DemHisto2CustomPalette(nullptr, -10, 10, nullptr, zero, nullptr,
                                                    nullptr, nullptr, nullptr, nullptr));
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(Colour(palette.get(), -11), Grey(0));
  EXPECT_EQ(Colour(palette.get(), 5), Grey(0));
  EXPECT_EQ(Colour(palette.get(), 11), Grey(255));
  EXPECT_EQ(Colour(palette.get(), 0), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(Colour(palette.get(), 9998), (std::vector<uint8_t>{0, 0, 255}));
}

}  // namespace
}  // namespace orvotest
