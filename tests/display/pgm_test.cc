// PGM sign libraries built by hand: opening and its refusals, signs drawn
// with white transparent and clipped, recoloured, unloaded and drawn again,
// damaged pictures.
#include "display/pgm.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "tests/display/display_test_util.h"
#include "tests/support/pgm_builder.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

using Px = std::vector<uint8_t>;

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlack = 0x000000, kGrey = 0x808080;
const Px kGreen = {0x00, 0xC0, 0x00};  // the background the tests draw on

// A 3 x 2 sign, hot spot (1, 1): top row white, red, black; bottom row red,
// white, grey.
uint32_t SignColour(int32_t x, int32_t y) {
  static const uint32_t colours[2][3] = {{kWhite, kRed, kBlack}, {kRed, kWhite, kGrey}};
  return colours[y][x];
}

Px Bgr(uint32_t rgb) {
  return {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
          static_cast<uint8_t>(rgb >> 16)};
}

std::string TwoSigns() {
  return PgmFile(
      PgmRecord("Zsign", 1, 1, 3, 2, BmpImage(3, 2, SignColour)) +
      PgmRecord("church", 0, 0, 2, 2, BmpImage(2, 2, [](int32_t, int32_t) { return kGrey; })));
}

class PgmTest : public ::testing::Test {
 protected:
  Released<IPgm> Open(const std::string& bytes, const std::string& name = "signs.pgm") {
    WriteFileBytes(dir_.File(name), bytes);
    IPgm* pgm = OpenPgm(dir_.File(name).c_str());
    if (pgm != nullptr) pgm->AddRef();
    return Released<IPgm>(pgm);
  }
  std::string OpenFailure(const std::string& bytes) {
    WriteFileBytes(path_, bytes);
    return Raised([&] { delete new mt::TPgm(path_.c_str()); });
  }
  // An image of w x h filled with kGreen.
  ImageDc GreenImage(int32_t w, int32_t h) {
    ImageDc dc(CreateImageDC(w, h));
    int32_t stride = 0;
    auto* bits = static_cast<uint8_t*>(GetImageBitsDC(dc.get(), nullptr, nullptr, &stride));
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) std::memcpy(bits + y * stride + x * 3, kGreen.data(), 3);
    return dc;
  }
  // The image's pixels row by row.
  static std::vector<Px> Pixels(HDC dc, int32_t w, int32_t h) {
    std::vector<Px> all;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) all.push_back(ImagePixel(dc, x, y));
    return all;
  }

  TempDir dir_;
  std::string path_ = dir_.File("signs.pgm");
};

TEST_F(PgmTest, DamagedFilesAreRefusedWithTheirMessage) {
  const std::string picture = BmpImage(3, 2, SignColour);
  const std::string sign = PgmRecord("Zsign", 0, 0, 3, 2, picture);
  std::string long_name = sign, negative_body = sign, short_body = sign;
  long_name[0] = 0x7F;
  std::memset(&negative_body[9], 0xFF, 4);
  short_body.replace(9, 4, std::string("\x27\0\0\0", 4));  // 39: shorter than the sign head
  // No record (16 bytes) or a cut head; a first name not starting with 'Z';
  // records that do not fit: cut anywhere, a name or body length beyond the
  // end, a short body, a few bytes after the last one.
  const std::string files[] = {PgmFile(""),
                               PgmFile("").substr(0, 10),
                               PgmFile(PgmRecord("Asign", 0, 0, 3, 2, picture)),
                               PgmFile(PgmRecord("", 0, 0, 3, 2, picture)),
                               PgmFile(sign.substr(0, 2)),
                               PgmFile(sign.substr(0, 7)),
                               PgmFile(sign.substr(0, 12)),
                               PgmFile(sign.substr(0, sign.size() - 1)),
                               PgmFile(long_name),
                               PgmFile(negative_body),
                               PgmFile(short_body),
                               PgmFile(sign + "ab")};
  for (size_t i = 0; i < std::size(files); ++i)
    EXPECT_EQ(OpenFailure(files[i]), "wrong pgm format") << i;
  EXPECT_EQ(OpenFailure(PgmFile(sign + PgmRecord("x", 0, 0, 1, 1, ""))), "");  // later names free
  EXPECT_EQ(Raised([&] { delete new mt::TPgm(dir_.File("none.pgm").c_str()); }), "can't open file");
  EXPECT_EQ(OpenPgm(dir_.File("none.pgm").c_str()), nullptr);
  EXPECT_EQ(OpenPgm(nullptr), nullptr);
}

TEST_F(PgmTest, SignsAreDrawnAtTheirHotSpotWithWhiteTransparent) {
  Released<IPgm> pgm = Open(TwoSigns());
  ASSERT_NE(pgm, nullptr);
  ImageDc dc = GreenImage(5, 4);
  ASSERT_TRUE(pgm->DrawSign(dc.get(), 2, 2, 0));  // top-left at (1, 1)
  std::vector<Px> want;
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
      const uint32_t colour = inside ? SignColour(x - 1, y - 1) : kWhite;
      want.push_back(colour == kWhite ? kGreen : Bgr(colour));
    }
  EXPECT_EQ(Pixels(dc.get(), 5, 4), want);
  // Partly outside the image: only the part that falls on it changes.
  ImageDc corner = GreenImage(2, 2);
  ASSERT_TRUE(pgm->DrawSign(corner.get(), 0, 0, 0));  // top-left at (-1, -1)
  // (0, 0) is the sign's white pixel (1, 1).
  EXPECT_EQ(Pixels(corner.get(), 2, 2), (std::vector<Px>{kGreen, Bgr(kGrey), kGreen, kGreen}));
}

TEST_F(PgmTest, IndicesAndHotSpotsOutsideTheRangeDrawNothing) {
  Released<IPgm> pgm = Open(TwoSigns());
  ASSERT_NE(pgm, nullptr);
  EXPECT_EQ(pgm->GetSignCount(), 2);
  EXPECT_EQ(pgm->GetSignWidth(0), 3);
  EXPECT_EQ(pgm->GetSignWidth(1), 2);
  ImageDc dc = GreenImage(4, 4);
  for (int32_t index : {-1, 2}) {
    EXPECT_EQ(pgm->GetSignWidth(index), 0);
    EXPECT_FALSE(pgm->DrawSign(dc.get(), 1, 1, index));
    EXPECT_FALSE(pgm->RecolorSign(index, kRed, kBlack));
    EXPECT_FALSE(pgm->UnloadSign(index));
  }
  EXPECT_EQ(Pixels(dc.get(), 4, 4), std::vector<Px>(16, kGreen));

  // Hot spots that put the sign beyond the coordinate range.
  const std::string picture = BmpImage(3, 2, SignColour);
  Released<IPgm> distant = Open(PgmFile(PgmRecord("Zfar", INT32_MIN + 2, 0, 3, 2, picture) +
                                        PgmRecord("near", INT32_MAX, INT32_MIN, 3, 2, picture)),
                                "far.pgm");
  ASSERT_NE(distant, nullptr);
  EXPECT_FALSE(distant->DrawSign(dc.get(), 8, 8, 0));
  EXPECT_FALSE(distant->DrawSign(dc.get(), INT32_MAX, 0, 0));
  EXPECT_FALSE(distant->DrawSign(dc.get(), INT32_MIN, INT32_MAX, 1));
  EXPECT_EQ(Pixels(dc.get(), 4, 4), std::vector<Px>(16, kGreen));
}

TEST_F(PgmTest, RecolouringTouchesOpaquePixelsOnlyAndUnloadingForgetsIt) {
  Released<IPgm> pgm = Open(TwoSigns());
  ASSERT_NE(pgm, nullptr);
  constexpr uint32_t kBlue = 0x0000FF;
  // COLORREF carries red in the low byte.
  ASSERT_TRUE(pgm->RecolorSign(0, RGB(0xFF, 0, 0), RGB(0, 0, 0xFF)));
  // Transparent pixels are black in the decoded picture and white in the
  // file: recolouring either leaves them transparent.
  ASSERT_TRUE(pgm->RecolorSign(0, RGB(0xFF, 0xFF, 0xFF), RGB(0x10, 0x20, 0x30)));
  ASSERT_TRUE(pgm->RecolorSign(0, RGB(0, 0, 0), RGB(0x40, 0x40, 0x40)));
  ImageDc dc = GreenImage(3, 2);
  ASSERT_TRUE(pgm->DrawSign(dc.get(), 1, 1, 0));
  EXPECT_EQ(Pixels(dc.get(), 3, 2),
            (std::vector<Px>{kGreen, Bgr(kBlue), Bgr(0x404040), Bgr(kBlue), kGreen, Bgr(kGrey)}));

  ASSERT_TRUE(pgm->UnloadSign(0));
  ASSERT_TRUE(pgm->UnloadSign(0));  // twice is harmless
  ImageDc again = GreenImage(3, 2);
  ASSERT_TRUE(pgm->DrawSign(again.get(), 1, 1, 0));
  EXPECT_EQ(Pixels(again.get(), 3, 1), (std::vector<Px>{kGreen, Bgr(kRed), Bgr(kBlack)}));
}

TEST_F(PgmTest, SignsWithoutAUsablePictureFailAloneAndReadNothingPastTheFile) {
  // Not a BMP, no picture, a head of width 0 or taller than the picture, and
  // a picture whose size field counts the 4 bytes beyond its record that the
  // record's picture length includes (they lie in the next record, or past
  // the file for the last sign): each fails alone.
  std::string picture = BmpImage(3, 2, SignColour);
  std::string not_bmp = picture;
  not_bmp[0] = 'X';
  std::string over = picture;
  const uint32_t size = static_cast<uint32_t>(over.size() + 4);
  std::memcpy(&over[2], &size, 4);
  Released<IPgm> pgm =
      Open(PgmFile(PgmRecord("Zgood", 1, 1, 3, 2, picture) + PgmRecord("bad", 0, 0, 3, 2, not_bmp) +
                   PgmRecord("empty", 0, 0, 3, 2, "") + PgmRecord("zero", 0, 0, 0, 2, picture) +
                   PgmRecord("tall", 0, 0, 3, 3, picture) + PgmRecord("over", 1, 1, 3, 2, over) +
                   PgmRecord("last", 1, 1, 3, 2, over)));
  ASSERT_NE(pgm, nullptr);
  ASSERT_EQ(pgm->GetSignCount(), 7);
  ImageDc dc = GreenImage(3, 2);
  EXPECT_TRUE(pgm->DrawSign(dc.get(), 1, 1, 0));
  EXPECT_EQ(ImagePixel(dc.get(), 1, 0), Bgr(kRed));
  for (int32_t index : {1, 2, 3, 4, 5, 6}) {
    EXPECT_FALSE(pgm->DrawSign(dc.get(), 1, 1, index)) << index;
    EXPECT_FALSE(pgm->RecolorSign(index, kRed, kBlack)) << index;
    EXPECT_TRUE(pgm->UnloadSign(index)) << index;
  }
  EXPECT_TRUE(pgm->DrawSign(dc.get(), 1, 1, 0));
}

}  // namespace
}  // namespace orvotest
