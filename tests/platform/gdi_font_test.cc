// Contract tests of the GDI text subset: font metrics close to Arial's for
// Liberation Sans, widths that add up to the extent, and the missing-glyph
// box. (Transparent and turned text are covered through DrawTextPolyline.) In
// the Windows build the real GDI answers; glyph pixels differ between
// rasterisers, so ink is compared by region.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "display/image_dc.h"
#include "platform/win32.h"
#include "tests/support/images.h"

namespace orvotest {
namespace {

// A font of the face at the height selected into an image context of its own.
class FontDc {
 public:
  FontDc(const char* face, int height) {
    LOGFONTA record;
    std::memset(&record, 0, sizeof record);
    record.lfHeight = height;
    record.lfWeight = FW_NORMAL;
    record.lfQuality = ANTIALIASED_QUALITY;
    std::strncpy(record.lfFaceName, face, LF_FACESIZE - 1);
    font_ = CreateFontIndirectA(&record);
    dc_ = mt::CreateImageDc(200, 200);
    if (font_ != nullptr && dc_ != nullptr) previous_ = SelectObject(dc_, font_);
  }
  ~FontDc() {
    if (previous_ != nullptr) SelectObject(dc_, previous_);
    if (dc_ != nullptr) mt::FreeImageDc(dc_);
    if (font_ != nullptr) DeleteObject(font_);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;

  bool ok() const { return previous_ != nullptr; }
  HDC dc() const { return dc_; }
  std::string Face() const {
    char name[LF_FACESIZE] = {};
    GetTextFaceA(dc_, LF_FACESIZE, name);
    return name;
  }

 private:
  HFONT font_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

#define SKIP_WITHOUT_LIBERATION(font)                                                        \
  ASSERT_TRUE((font).ok());                                                                  \
  if ((font).Face() != "Liberation Sans")                                                    \
  GTEST_SKIP() << "Liberation Sans is not installed here (the GDI chose \"" << (font).Face() \
               << "\")"

TEST(PlatformGdiFont, LiberationSansHasArialsMetricsAtSeveralHeights) {
  // Arial's cell is 2288/2048 of its em; ascent 1854/2048 of it.
  for (int height : {-12, -20, -37, 30}) {
    SCOPED_TRACE(height);
    FontDc font("Liberation Sans", height);
    SKIP_WITHOUT_LIBERATION(font);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(font.dc(), &tm));
    const double em = height < 0 ? -height : height * 2048.0 / 2288.0;
    EXPECT_NEAR(tm.tmAscent, em * 1854 / 2048, 1.0);
    EXPECT_NEAR(tm.tmDescent, em * 434 / 2048, 1.0);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    if (height > 0) {
      EXPECT_NEAR(tm.tmHeight, height, 1);
    }
    EXPECT_NEAR(tm.tmInternalLeading, tm.tmHeight - em, 1.5);
    EXPECT_NE(tm.tmPitchAndFamily & TMPF_TRUETYPE, 0);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  }
}

TEST(PlatformGdiFont, AbcWidthsAddUpToAdvancesAndTheExtent) {
  FontDc font("Liberation Sans", -20);
  SKIP_WITHOUT_LIBERATION(font);
  ABC abc[256];
  int widths[256];
  ASSERT_TRUE(GetCharABCWidthsA(font.dc(), 0, 255, abc));
  ASSERT_TRUE(GetCharWidth32A(font.dc(), 0, 255, widths));
  for (int c = 32; c < 127; ++c)
    EXPECT_EQ(abc[c].abcA + static_cast<int>(abc[c].abcB) + abc[c].abcC, widths[c]) << c;
  const char text[] = "Hello, World \xE9";
  int sum = 0;
  for (const char* p = text; *p; ++p) sum += widths[static_cast<uint8_t>(*p)];
  SIZE extent;
  ASSERT_TRUE(GetTextExtentPoint32A(font.dc(), text, static_cast<int>(std::strlen(text)), &extent));
  EXPECT_EQ(extent.cx, sum);
  TEXTMETRICA tm;
  ASSERT_TRUE(GetTextMetricsA(font.dc(), &tm));
  EXPECT_EQ(extent.cy, tm.tmHeight);
  EXPECT_NEAR(widths['W'], 20 * 1933 / 2048.0, 1.0);  // Arial's W advance
#ifndef _WIN32
  // Byte 0x81 has no character in Windows-1252 (U+0081 here), which Liberation
  // Sans does not cover: it is drawn as the face's missing-glyph box, and its
  // width is that box's advance wherever a width is asked for.
  EXPECT_GT(widths[0x81], 0);
  EXPECT_EQ(widths[0x81], widths[0x8D]);  // one box for every missing character
  EXPECT_EQ(abc[0x81].abcA + static_cast<int>(abc[0x81].abcB) + abc[0x81].abcC, widths[0x81]);
  ASSERT_TRUE(GetTextExtentPoint32A(font.dc(),
                                    "A\x81"
                                    "A",
                                    3, &extent));
  EXPECT_EQ(extent.cx, 2 * widths['A'] + widths[0x81]);
  SetBkMode(font.dc(), TRANSPARENT);
  SetTextAlign(font.dc(), TA_BASELINE);
  ASSERT_TRUE(TextOutA(font.dc(), 20, 100, "\x81", 1));
  const Ink ink = InkIn(font.dc());
  EXPECT_GT(ink.count, 20);  // the box's outline
  EXPECT_GE(ink.min_x, 19);
  EXPECT_LE(ink.max_x, 20 + widths[0x81]);
#endif
}

// A host's font record whose face name fills its field without a NUL: the
// name is read as 32 characters at most, and the font selects and draws.
TEST(PlatformGdiFont, AFullLengthFaceNameWithoutItsEndIsReadNoFurther) {
  FontDc font("Liberation Sans", -12);
  ASSERT_TRUE(font.ok());
  LOGFONTA record;
  std::memset(&record, 'Z', sizeof record);
  record.lfHeight = -12;
  record.lfEscapement = record.lfOrientation = 0;
  record.lfWeight = FW_NORMAL;
  record.lfItalic = record.lfUnderline = record.lfStrikeOut = 0;
  record.lfCharSet = ANSI_CHARSET;
  HFONT odd = CreateFontIndirectA(&record);
  ASSERT_NE(odd, nullptr);
  HGDIOBJ previous = SelectObject(font.dc(), odd);
  EXPECT_NE(previous, nullptr);
  EXPECT_TRUE(TextOutA(font.dc(), 0, 0, "abc", 3));
  EXPECT_EQ(SelectObject(font.dc(), previous), odd);
  EXPECT_TRUE(DeleteObject(odd));
}

}  // namespace
}  // namespace orvotest
