// Palettes in memory: building, colours, conversion to DIB pixels, and the
// DEM palette's colours against the rules computed here independently.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orvoapi.h"
#include "tests/display/display_test_util.h"

namespace orvotest {
namespace {

using Rgb = std::vector<uint8_t>;

Rgb Colour(IPalette* palette, int32_t index) {
  uint8_t rgb[3] = {1, 2, 3};
  if (!palette->GetColor(rgb, index)) return {};
  return {rgb[0], rgb[1], rgb[2]};
}
Rgb Height(IPalette* palette, int32_t h) {
  return Colour(palette, static_cast<uint16_t>(static_cast<int16_t>(h)));
}

TEST(Palette, BuildsFromTriplesOrBlackWithinTheCountLimits) {
  Released<IPalette> black(BuildPaletteRgb(nullptr, 3));
  ASSERT_NE(black, nullptr);
  EXPECT_EQ(black->GetCount(), 3);
  EXPECT_EQ(Colour(black.get(), 2), (Rgb{0, 0, 0}));
  EXPECT_EQ(Colour(black.get(), 3), Rgb{});
  EXPECT_EQ(Colour(black.get(), -1), Rgb{});

  const uint8_t rgb[6] = {10, 20, 30, 40, 50, 60};
  Released<IPalette> two(BuildPaletteRgb(rgb, 2));
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(Colour(two.get(), 1), (Rgb{40, 50, 60}));
  const uint8_t red[3] = {255, 0, 0};
  EXPECT_TRUE(two->SetColor(0, red));
  EXPECT_FALSE(two->SetColor(2, red));
  EXPECT_FALSE(two->SetColor(-1, red));
  EXPECT_EQ(Colour(two.get(), 0), (Rgb{255, 0, 0}));

  EXPECT_EQ(BuildPaletteRgb(nullptr, 65537), nullptr);
  EXPECT_EQ(BuildPaletteRgb(nullptr, -1), nullptr);
  Released<IPalette> full(BuildPaletteRgb(nullptr, 65536));
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(full->GetCount(), 65536);
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

TEST(Palette, AnEmptyPaletteWritesNothing) {
  Released<IPalette> empty(BuildPaletteRgb(nullptr, 0));
  ASSERT_NE(empty, nullptr);
  uint8_t out[3] = {9, 9, 9};
  const uint16_t value = 4;
  EXPECT_EQ(empty->Pixels2Dib(out, &value, 2, 1), 0);
  EXPECT_EQ(empty->Pixels2Dib(out, &value, 1, 1), 0);
  EXPECT_EQ(Rgb(out, out + 3), (Rgb{9, 9, 9}));
  EXPECT_EQ(empty->GetCount(), 0);
  EXPECT_EQ(Colour(empty.get(), 0), Rgb{});
}

const Rgb kBlack{0, 0, 0}, kWhite{255, 255, 255}, kRed{255, 0, 0}, kGreen{0, 128, 0},
    kBlue{0, 0, 128}, kPurple{128, 0, 128};

TEST(DemPalette, FewHeightsGetALinearRamp) {
  const uint16_t values[] = {10, 30, 30, 20, 0, static_cast<uint16_t>(-5), 9999, 12000};
  Released<IPalette> p(DemValues2Palette(values, 8));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->GetCount(), 65536);
  // min -5, max 30: grey = (h + 5) * 255 / 35.
  for (int h : {-5, -1, 1, 10, 20, 29, 30}) {
    uint8_t g = static_cast<uint8_t>((h + 5) * 255 / 35);
    EXPECT_EQ(Height(p.get(), h), (Rgb{g, g, g})) << h;
  }
  EXPECT_EQ(Height(p.get(), -6), kBlack);  // at or below the lowest
  EXPECT_EQ(Height(p.get(), -30000), kBlack);
  EXPECT_EQ(Height(p.get(), 31), kWhite);  // above the highest
  EXPECT_EQ(Height(p.get(), 9997), kWhite);
  EXPECT_EQ(Height(p.get(), 0), kGreen);
  EXPECT_EQ(Height(p.get(), 9998), kBlue);
  EXPECT_EQ(Height(p.get(), 9999), kRed);
  EXPECT_EQ(Height(p.get(), 12000), kRed);
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
    uint8_t g = static_cast<uint8_t>(below * 255 / total);
    EXPECT_EQ(Height(p.get(), h), (Rgb{g, g, g})) << h;
    below += h == 150 ? 4 : 1;
  }
  EXPECT_EQ(Height(p.get(), 0), kGreen);
  EXPECT_EQ(Height(p.get(), 301), kWhite);
}

TEST(DemPalette, WithoutCountedHeightsTheTableKeepsItsColours) {
  const uint16_t values[] = {9999, 12000, static_cast<uint16_t>(-2000)};
  for (int32_t count : {0, 3}) {
    Released<IPalette> p(DemValues2Palette(values, count));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Height(p.get(), 12000), kPurple);
    EXPECT_EQ(Height(p.get(), 9999), kRed);
    EXPECT_EQ(Height(p.get(), 9998), kBlue);
    EXPECT_EQ(Height(p.get(), 0), kGreen);
    EXPECT_EQ(Height(p.get(), 5), kBlack);
  }
  EXPECT_EQ(DemValues2Palette(nullptr, 2), nullptr);
  EXPECT_EQ(DemValues2Palette(values, -1), nullptr);
}

}  // namespace
}  // namespace orvotest
