// PGM sign libraries built by hand, BMP pictures, and contexts that are no image.
#include "display/pgm.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "display/dib_section.h"
#include "display/image_dc.h"
#include "platform/win32.h"
#include "tests/display/display_test_util.h"
#include "tests/support/images.h"
#include "tests/support/pgm_builder.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

using Px = std::vector<uint8_t>;

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlack = 0x000000, kGrey = 0x808080;
const Px kGreen = {0x00, 0xC0, 0x00};  // the background the tests draw on

// A 3 x 2 sign, hot spot (1, 1).
uint32_t SignColour(int32_t x, int32_t y) {
  static const uint32_t colours[2][3] = {{kWhite, kRed, kBlack}, {kRed, kWhite, kGrey}};
  return colours[y][x];
}

Px Bgr(uint32_t rgb) {
  return {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
          static_cast<uint8_t>(rgb >> 16)};
}

class PgmTest : public ::testing::Test {
 protected:
  Released<IPgm> Open(const std::string& bytes) {
    WriteFileBytes(path_, bytes);
    IPgm* pgm = OpenPgm(path_.c_str());
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
  // No record or a cut head, a first name not starting with 'Z', records that do not fit.
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

TEST_F(PgmTest, SignsAreDrawnWithWhiteTransparentAndClippedOrFailAlone) {
  // Signs 2 and 3 have hot spots that put them beyond the coordinate range.
  const std::string picture = BmpImage(3, 2, SignColour);
  Released<IPgm> pgm =
      Open(PgmFile(PgmRecord("Zsign", 1, 1, 3, 2, picture) +
                   PgmRecord("church", 0, 0, 2, 2, BmpImage(2, 2, [](int, int) { return kGrey; })) +
                   PgmRecord("far", INT32_MIN + 2, 0, 3, 2, picture) +
                   PgmRecord("near", INT32_MAX, INT32_MIN, 3, 2, picture)));
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

  // Indices and hot spots outside the range draw nothing.
  EXPECT_EQ(pgm->GetSignWidth(1), 2);
  dc = GreenImage(4, 4);
  for (int32_t index : {-1, 4}) {
    EXPECT_EQ(pgm->GetSignWidth(index), 0);
    EXPECT_FALSE(pgm->DrawSign(dc.get(), 1, 1, index));
    EXPECT_FALSE(pgm->RecolorSign(index, kRed, kBlack));
    EXPECT_FALSE(pgm->UnloadSign(index));
  }
  EXPECT_FALSE(pgm->DrawSign(dc.get(), 8, 8, 2));
  EXPECT_FALSE(pgm->DrawSign(dc.get(), INT32_MAX, 0, 2));
  EXPECT_FALSE(pgm->DrawSign(dc.get(), INT32_MIN, INT32_MAX, 3));
  EXPECT_EQ(Pixels(dc.get(), 4, 4), std::vector<Px>(16, kGreen));

  // Not a BMP, no picture, width 0, taller than the picture, and a size field counting
  // 4 bytes beyond the record (in the next record, or past the file): each fails alone.
  pgm.reset();  // its file is written anew
  std::string not_bmp = picture;
  not_bmp[0] = 'X';
  std::string over = picture;
  const uint32_t size = static_cast<uint32_t>(over.size() + 4);
  std::memcpy(&over[2], &size, 4);
  Released<IPgm> unusable =
      Open(PgmFile(PgmRecord("Zgood", 1, 1, 3, 2, picture) + PgmRecord("bad", 0, 0, 3, 2, not_bmp) +
                   PgmRecord("empty", 0, 0, 3, 2, "") + PgmRecord("zero", 0, 0, 0, 2, picture) +
                   PgmRecord("tall", 0, 0, 3, 3, picture) + PgmRecord("over", 1, 1, 3, 2, over) +
                   PgmRecord("last", 1, 1, 3, 2, over)));
  ASSERT_NE(unusable, nullptr);
  ASSERT_EQ(unusable->GetSignCount(), 7);
  dc = GreenImage(3, 2);
  EXPECT_TRUE(unusable->DrawSign(dc.get(), 1, 1, 0));
  EXPECT_EQ(ImagePixel(dc.get(), 1, 0), Bgr(kRed));
  for (int32_t index : {1, 2, 3, 4, 5, 6}) {
    EXPECT_FALSE(unusable->DrawSign(dc.get(), 1, 1, index)) << index;
    EXPECT_FALSE(unusable->RecolorSign(index, kRed, kBlack)) << index;
    EXPECT_TRUE(unusable->UnloadSign(index)) << index;
  }
  EXPECT_TRUE(unusable->DrawSign(dc.get(), 1, 1, 0));
}

Px At(const mt::TDibSection& dib, int x, int y) {
  const uint8_t* p = dib.GetRow(y) + x * 3;
  return {p[0], p[1], p[2]};
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// Pixel (x, y) of the BMP tests: blue = x, green = y, red = 0x80.
uint32_t DibColour(int32_t x, int32_t y) { return 0x800000u | y << 8 | x; }

// A BMP file image of DibColour at 24 or 32 bits a pixel (the fourth byte 0x7F).
std::string Bmp(int w, int h, int bits) {
  std::string s = BmpImage(w, h, DibColour);
  if (bits == 32) {
    s.resize(54);
    for (int r = h - 1; r >= 0; --r)
      for (int x = 0; x < w; ++x) AppendLe32(s, DibColour(x, r) | 0x7F000000u);
    Put32(s, 2, static_cast<uint32_t>(s.size()));
    s[28] = 32;
  }
  return s;
}

TEST(DibSection, BmpImagesOf24And32BitsAreReadUprightAndDamagedHeadsRefused) {
  for (int bits : {24, 32}) {
    SCOPED_TRACE(bits);
    std::string file = Bmp(3, 2, bits);
    mt::TDibSection dib(file.data(), static_cast<int64_t>(file.size()), nullptr);
    ASSERT_EQ(dib.GetWidth(), 3);
    ASSERT_EQ(dib.GetHeight(), 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(At(dib, x, y), (Px{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0x80}));
  }

  const std::string good = Bmp(3, 2, 24);
  const uint32_t size = static_cast<uint32_t>(good.size());
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    size_t keep;  // bytes handed over
  };
  const Case cases[] = {
      {"8 bits a pixel", 28, 8, size},
      {"size field beyond the bytes", 2, size + 1, size},
      {"rows beyond the bytes", 22, 3, size},
      {"huge height", 22, 0x40000000, size},
      {"pixel offset beyond the bytes", 10, size, size},
      {"pixel offset inside the head", 10, 4, size},
      {"width 0", 18, 0, size},
      {"height 0", 22, 0, size},
      {"head cut short", 0, 'B' | 'M' << 8, 40},
      {"no signature", 0, 'X' | 'M' << 8, size},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string file = good;
    file[c.at] = static_cast<char>(c.value);
    file[c.at + 1] = static_cast<char>(c.value >> 8);
    if (c.at != 0) Put32(file, c.at, c.value);
    // The bytes go to a buffer of exactly that size, so a stray read shows.
    std::vector<char> bytes(file.begin(), file.begin() + static_cast<long>(c.keep));
    EXPECT_EQ(Raised([&] {
                mt::TDibSection dib(bytes.data(), static_cast<int64_t>(bytes.size()), nullptr);
              }),
              "unsupported image format");
  }
  EXPECT_EQ(Raised([] { mt::TDibSection dib(nullptr, 100, nullptr); }), "unsupported image format");
  // Width and height whose product of row bytes and rows overflows 64 bits.
  std::string huge = Bmp(3, 2, 32);
  Put32(huge, 18, 0x7FFFFFFF);
  Put32(huge, 22, 0x7FFFFFFF);
  EXPECT_EQ(
      Raised([&] { mt::TDibSection dib(huge.data(), static_cast<int64_t>(huge.size()), nullptr); }),
      "unsupported image format");
}

TEST(ImageDc, BadSizesAndOtherContextsAreNotImages) {
  EXPECT_EQ(mt::CreateImageDc(0, 5), nullptr);
  EXPECT_EQ(mt::CreateImageDc(5, 0), nullptr);
  EXPECT_EQ(mt::ImageDcBits(nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(mt::FreeImageDc(nullptr));
  HDC dc = mt::CreateImageDc(2, 2);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(mt::FreeImageDc(dc));
#ifndef _WIN32  // Windows may hand the same handle value out again
  EXPECT_FALSE(mt::FreeImageDc(dc));
#endif

  HDC plain = CreateCompatibleDC(nullptr);  // holds the stock bitmap
  ASSERT_NE(plain, nullptr);
  int32_t width = -7;
  EXPECT_EQ(mt::ImageDcBits(plain, &width, nullptr, nullptr), nullptr);
  EXPECT_EQ(width, -7);
  EXPECT_FALSE(mt::FreeImageDc(plain));

  // A bottom-up DIB section is no top-down image.
  void* bits = nullptr;
  HBITMAP bitmap = Dib24(4, 3, &bits);
  ASSERT_NE(bitmap, nullptr);
  HGDIOBJ initial = SelectObject(plain, bitmap);
  EXPECT_EQ(mt::ImageDcBits(plain, nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(mt::FreeImageDc(plain));
  EXPECT_EQ(static_cast<uint8_t*>(bits)[2 * 12], 0);  // the probe put the top-left pixel back
  SelectObject(plain, initial);
  DeleteObject(bitmap);
  EXPECT_TRUE(DeleteDC(plain));
}

}  // namespace
}  // namespace orvotest
