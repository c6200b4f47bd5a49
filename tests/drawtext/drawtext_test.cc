// Labels through the internal functions, ink compared by region, not by pixel, so
// that the real GDI under wine agrees.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "display/image_dc.h"
#include "drawtext/fonts.h"
#include "drawtext/geometry.h"
#include "platform/win32.h"
#include "tests/support/images.h"

namespace orvotest {
namespace {

LOGFONTA Record(int height) {
  LOGFONTA record;
  std::memset(&record, 0, sizeof record);
  record.lfHeight = height;
  record.lfWeight = FW_NORMAL;
  std::strcpy(record.lfFaceName, "Arial");
  return record;
}

// A white image with an Arial font of the height to draw with.
class Canvas {
 public:
  Canvas(int w, int h, int height = -16) : dc_(mt::CreateImageDc(w, h)) {
    LOGFONTA record = Record(height);
    font_ = mt::CreateFontDc(&record);
  }
  ~Canvas() {
    mt::FreeImageDc(dc_);
    mt::FreeFontDc(font_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  bool ok() const { return dc_ != nullptr && font_ != nullptr; }
  HDC dc() const { return dc_; }
  HFONT font() const { return font_; }
  bool Polyline(const std::string& text, std::initializer_list<POINT> points, bool stretch,
                COLORREF color = RGB(0, 0, 0)) {
    return mt::DrawTextPolyline(dc_, text.data(), static_cast<int>(text.size()), points.begin(),
                                static_cast<int>(points.size()), stretch, font_, color);
  }
  int Width(const std::string& text) {
    HGDIOBJ previous = SelectObject(dc_, font_);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc_, previous);
    return size.cx;
  }

 private:
  HDC dc_;
  HFONT font_ = nullptr;
};

TEST(DrawTextGeometry, PointsAlongALineAreTruncatedAndHeldWithinRange) {
  const POINT p = mt::PointTowards({0, 0}, {3, 4}, 2.9);
  EXPECT_EQ((std::pair<int32_t, int32_t>(p.x, p.y)), std::pair(1, 2));
  EXPECT_EQ(mt::PointTowards({0, 0}, {1, 0}, 1e30).x, INT32_MAX);
}

TEST(DrawText, AnglesGoIntoTheRecordAndFont2LogfontDescribesTheFont) {
  Canvas canvas(200, 100);
  ASSERT_TRUE(canvas.ok());
  LOGFONTA record = Record(-16);
  const POINT at = {50, 50};
  EXPECT_TRUE(mt::DrawTextFromPoint(canvas.dc(), &record, "A", 1, &at, 45.67));
  EXPECT_EQ(record.lfEscapement, 456);
  EXPECT_EQ(record.lfOrientation, 456);
  const POINT start = {100, 50}, up = {100, 0}, left = {0, 50};
  EXPECT_TRUE(mt::DrawTextAlongLine(canvas.dc(), &record, "A", 1, &start, &up));
  EXPECT_EQ(record.lfEscapement, 900);
  EXPECT_TRUE(mt::DrawTextAlongLine(canvas.dc(), &record, "A", 1, &start, &left));
  EXPECT_EQ(record.lfEscapement, 0);  // equal y: unrotated, even leftwards
  EXPECT_FALSE(mt::DrawTextFromPoint(canvas.dc(), &record, "A", 1, &at, NAN));
  EXPECT_FALSE(mt::DrawTextFromPoint(canvas.dc(), &record, "A", -1, &at, 0));
  EXPECT_FALSE(mt::DrawTextFromPoint(canvas.dc(), nullptr, "A", 1, &at, 0));
  EXPECT_EQ(record.lfEscapement, 0);
  EXPECT_TRUE(mt::DrawTextFromPoint(canvas.dc(), &record, "A", 1, &at, 1e300));  // no overflow

  Canvas cell(10, 10, -20);
  ASSERT_TRUE(cell.ok());
  LOGFONTA described;
  std::memset(&described, 0x55, sizeof described);
  mt::Font2Logfont(cell.dc(), &described, cell.font());
  EXPECT_NEAR(described.lfHeight, 23, 1);  // the cell of a 20-pixel em
  EXPECT_EQ(described.lfWeight, FW_NORMAL);
  const std::string face = described.lfFaceName;
  EXPECT_TRUE(face == "Arial" || face == "Liberation Sans") << face;
}

TEST(DrawTextPolyline, RefusalsLeaveTheImageUntouched) {
  Canvas canvas(100, 50);
  ASSERT_TRUE(canvas.ok());
  const POINT line[2] = {{10, 30}, {90, 30}};
  // Text and points, their counts, and the context.
  for (auto [text, n, points, count, dc] : {std::tuple{"ab", 2, line, 0, canvas.dc()},
                                            {"ab", 2, line, -2, canvas.dc()},
                                            {"ab", 2, nullptr, 2, canvas.dc()},
                                            {nullptr, 2, line, 2, canvas.dc()},
                                            {"ab", 0, line, 2, canvas.dc()},
                                            {"ab", -1, line, 2, canvas.dc()},
                                            {"ab", 2, line, 2, nullptr}})
    EXPECT_FALSE(mt::DrawTextPolyline(dc, text, n, points, count, true, canvas.font(), 0));
  EXPECT_EQ(InkIn(canvas.dc()).count, 0);
  // Far away, degenerate and zero-length lines draw nothing here and end.
  EXPECT_TRUE(canvas.Polyline("far", {{2000000000, 2000000000}, {-2000000000, -2000000000}}, true));
  EXPECT_TRUE(
      canvas.Polyline("far", {{-2000000000, 5}, {-1999999000, 5}, {-1999999000, 9}}, false));
  EXPECT_TRUE(canvas.Polyline("dot", {{-500, -500}, {-500, -500}, {-500, -500}}, true));
  EXPECT_EQ(InkIn(canvas.dc()).count, 0);
}

// In its colour above the line, stretched over it or not, and the context restored.
TEST(DrawTextPolyline, InksAboveTheLineInItsColourAndStretchSpreadsTheCharacters) {
  Canvas canvas(300, 100), spread(300, 100);
  ASSERT_TRUE(canvas.ok() && spread.ok());
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), RGB(0, 255, 0));
  SetTextColor(canvas.dc(), RGB(1, 2, 3));
  SetTextAlign(canvas.dc(), TA_BASELINE);
  ASSERT_TRUE(canvas.Polyline("Label", {{20, 60}, {280, 60}}, false, RGB(255, 0, 0)));
  ASSERT_TRUE(spread.Polyline("Label", {{20, 60}, {280, 60}}, true));
  const Ink ink = InkIn(canvas.dc()), b = InkIn(spread.dc());
  ASSERT_GT(ink.count, 40);
  EXPECT_GE(ink.min_x, 19);
  EXPECT_LE(ink.max_x, 20 + canvas.Width("Label") + 1);
  EXPECT_LE(ink.max_y, 60);  // the cell's bottom lies on the line
  EXPECT_GE(ink.min_y, 60 - 20);
  // Transparent, in red: green and blue fall together, nothing turns green.
  int32_t stride = 0;
  auto* bits = static_cast<uint8_t*>(mt::ImageDcBits(canvas.dc(), nullptr, nullptr, &stride));
  int reddest = 255;
  for (int y = ink.min_y; y <= ink.max_y; ++y)
    for (int x = ink.min_x; x <= ink.max_x; ++x) {
      const uint8_t* p = bits + y * stride + x * 3;
      EXPECT_GE(p[2], 250);
      EXPECT_NEAR(p[0], p[1], 2);
      reddest = std::min<int>(reddest, p[1]);
    }
  EXPECT_LT(reddest, 40);
  EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
  EXPECT_EQ(GetTextColor(canvas.dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetTextAlign(canvas.dc()), static_cast<UINT>(TA_BASELINE));
  // Spread by round((260 - W) / 4): the ink ends near the line's end, the same glyphs
  // only moved, blank paper between the characters.
  EXPECT_GE(b.max_x, 270);
  EXPECT_LE(b.max_x, 282);
  EXPECT_LE(b.min_x, 22);
  EXPECT_NEAR(ink.count, b.count, ink.count / 5);
  const int gap_x = 20 + spread.Width("L") + 10;
  EXPECT_EQ(InkIn(spread.dc(), gap_x, 0, gap_x + 20, 100).count, 0);
}

// Runs turn at vertices and run on past the end; a rising line turns the text.
TEST(DrawTextPolyline, TextFollowsTheDirectionOfEachLeg) {
  Canvas canvas(300, 300), rising(200, 200), flat(200, 200);
  ASSERT_TRUE(canvas.ok() && rising.ok() && flat.ok());
  // Right along y = 40, then down x = 200; too long for both legs.
  const std::string text = "Along the first leg then down the second one and past";
  ASSERT_TRUE(canvas.Polyline(text, {{20, 40}, {200, 40}, {200, 150}}, false));
  EXPECT_GT(InkIn(canvas.dc(), 20, 20, 200, 41).count, 40);  // first leg, above it
  // Down the second leg the cell lies to its right (ascent toward +x).
  const Ink down = InkIn(canvas.dc(), 190, 45, 300, 300);
  ASSERT_GT(down.count, 40);
  EXPECT_GE(down.min_x, 199);
  EXPECT_GT(down.max_y, 150 + 20);  // ran on past the last vertex
  EXPECT_EQ(InkIn(canvas.dc(), 0, 60, 190, 300).count, 0);

  ASSERT_TRUE(rising.Polyline("Upward", {{100, 180}, {100, 10}}, false));
  ASSERT_TRUE(flat.Polyline("Upward", {{20, 100}, {180, 100}}, false));
  const Ink ink = InkIn(rising.dc()), level = InkIn(flat.dc());
  ASSERT_GT(ink.count, 40);
  EXPECT_GT(ink.max_y - ink.min_y, 3 * (ink.max_x - ink.min_x));
  EXPECT_LE(ink.max_y, 181);
  EXPECT_NEAR(ink.max_y - ink.min_y, level.max_x - level.min_x, 2);
  EXPECT_NEAR(ink.max_x - ink.min_x, level.max_y - level.min_y, 2);
  EXPECT_LE(ink.max_x, 101);  // the cell's bottom on the line, ascent to the left
  EXPECT_GE(ink.min_x, 100 - 20);
}

}  // namespace
}  // namespace orvotest
