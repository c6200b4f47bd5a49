// Palettes: building, colours, conversion to DIB pixels, and palette files
// (exact bytes, round trips, damaged files, saves that cannot complete).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

TEST(Palette, BuildsFromTriplesOrBlackWithinTheCountLimits) {
  Released<IPalette> black(BuildPaletteRgb(nullptr, 3));
  ASSERT_NE(black, nullptr);
  EXPECT_EQ(black->GetCount(), 3);
  EXPECT_EQ(Colour(black.get(), 2), (Rgb{0, 0, 0}));
  EXPECT_EQ(Colour(black.get(), 3), Rgb{});
  EXPECT_EQ(Colour(black.get(), -1), Rgb{});

  const uint8_t rgb[6] = {10, 20, 30, 40, 50, 60}, red[3] = {255, 0, 0};
  Released<IPalette> two(BuildPaletteRgb(rgb, 2));
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(Colour(two.get(), 1), (Rgb{40, 50, 60}));
  EXPECT_TRUE(two->SetColor(0, red));
  EXPECT_FALSE(two->SetColor(2, red));
  EXPECT_FALSE(two->SetColor(-1, red));
  EXPECT_EQ(Colour(two.get(), 0), (Rgb{255, 0, 0}));

  EXPECT_EQ(BuildPaletteRgb(nullptr, 65537), nullptr);
  EXPECT_EQ(BuildPaletteRgb(nullptr, -1), nullptr);
  Released<IPalette> full(BuildPaletteRgb(nullptr, 65536));
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->GetCount(), 65536);

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
  const uint16_t wide[3] = {300, 0, 65535};
  uint8_t out[10] = {};
  out[9] = 0xEE;
  EXPECT_EQ(palette->Pixels2Dib(out, wide, 2, 3), 3);
  EXPECT_EQ(Rgb(out, out + 10), (Rgb{7, 211, 44, 7, 255, 0, 7, 0, 255, 0xEE}));

  const uint8_t narrow[2] = {1, 200};
  EXPECT_EQ(palette->Pixels2Dib(out, narrow, 1, 2), 2);
  EXPECT_EQ(Rgb(out, out + 6), (Rgb{7, 254, 1, 7, 55, 200}));

  const uint8_t direct[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(palette->Pixels2Dib(out, direct, 3, 2), 2);
  EXPECT_EQ(Rgb(out, out + 6), (Rgb{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(palette->Pixels2Dib(out, direct, 4, 1), 0);

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
  Released<IPalette> same(DemHistogramm2Palette(path_.c_str()));
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(same->GetCount(), 2);
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
      {"empty file", "", -1},
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
  ExpectHeightColours(
      p.get(), {HeightIs(200, Grey(127)), HeightIs(300, Grey(255)), HeightIs(400, Grey(255))});

  ASSERT_TRUE(SavePalette(path_.c_str(), p.get()));
  const std::string bytes = ReadFileBytes(path_);
  ASSERT_EQ(bytes.size(), 196632u);
  EXPECT_EQ(bytes.substr(0, 24), "palette_" + Le64(196632) + Le64(65536));
  EXPECT_EQ(bytes.substr(24 + 3 * 200, 3), std::string(3, '\x7f'));
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

}  // namespace
}  // namespace orvotest
