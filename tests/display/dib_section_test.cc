// TDibSection (sizing, re-sizing, rows, BMP images and damaged ones, masks)
// and image device contexts (white images, their bits, and contexts that are
// not theirs). These tests mix in GDI calls of their own, so they use the
// internal library's functions: on Linux the shared library keeps a GDI of
// its own, which the C host test reaches through the exports.
#include "display/dib_section.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "display/image_dc.h"
#include "display/mt_exception.h"
#include "platform/win32.h"
#include "tests/support/raised.h"

namespace orvotest {
namespace {

using Px = std::vector<uint8_t>;

Px At(const mt::TDibSection& dib, int x, int y) {
  const uint8_t* p = dib.GetRow(y) + x * 3;
  return {p[0], p[1], p[2]};
}

void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

// A BMP file image of w x h pixels at bits a pixel, rows bottom row first,
// pixel (x, y) (y = 0 the top row) blue = x, green = y, red = 0x80.
std::string Bmp(int w, int h, int bits) {
  const int row = bits == 24 ? (w * 3 + 3) & ~3 : w * 4;
  std::string s(54 + static_cast<size_t>(row) * h, '\0');
  s[0] = 'B';
  s[1] = 'M';
  const size_t fields[][2] = {{2, s.size()}, {10, 54}, {14, 40}, {18, size_t(w)}, {22, size_t(h)}};
  for (auto [at, v] : fields) Put32(s, at, static_cast<uint32_t>(v));
  s[26] = 1;
  s[28] = static_cast<char>(bits);
  for (int r = 0; r < h; ++r)
    for (int x = 0; x < w; ++x) {
      char* p = &s[54 + static_cast<size_t>(r) * row + x * (bits / 8)];
      p[0] = static_cast<char>(x);
      p[1] = static_cast<char>(h - 1 - r);
      p[2] = static_cast<char>(0x80);
      if (bits == 32) p[3] = 0x7F;
    }
  return s;
}

TEST(DibSection, RowsAreStrideApartAndResizingKeepsTheSharedCorner) {
  mt::TDibSection dib(4, 4, nullptr);
  EXPECT_EQ(dib.GetStride(), 12);
  EXPECT_EQ(dib.GetRow(1) - dib.GetRow(0), 12);
  EXPECT_EQ(dib.GetRow(4), nullptr);
  EXPECT_EQ(dib.GetRow(-1), nullptr);
  EXPECT_EQ(At(dib, 3, 3), (Px{0, 0, 0}));
  EXPECT_NE(dib.GetDC(), nullptr);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) std::memset(dib.GetRow(y) + x * 3, 10 * y + x + 1, 3);
  dib.Resize(5, -2);  // a negative height is its magnitude; rows padded to 4 bytes
  ASSERT_EQ(dib.GetWidth(), 5);
  ASSERT_EQ(dib.GetHeight(), 2);
  EXPECT_EQ(dib.GetStride(), 16);
  EXPECT_EQ(dib.GetRow(2), nullptr);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint8_t v = x < 4 ? static_cast<uint8_t>(10 * y + x + 1) : 0;
      EXPECT_EQ(At(dib, x, y), (Px{v, v, v})) << x << "," << y;
    }
  for (auto [w, h] : {std::pair{0, 3}, {3, 0}}) {
    try {
      dib.Resize(w, h);
      ADD_FAILURE() << w << " x " << h << " taken";
    } catch (const mt::MtException& e) {
      EXPECT_EQ(std::to_string(e.Code()) + " " + e.Message(), "0 can't create bitmap");
    }
  }
  EXPECT_EQ(dib.GetWidth(), 5);  // a refused size changes nothing
}

TEST(DibSection, BmpImagesOf24And32BitsAreReadUpright) {
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
}

TEST(DibSection, DamagedBmpHeadsAreRefusedWithoutReadingPastTheBytes) {
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

TEST(DibSection, MasksMarkTheKeyColourWhiteAndTheContextIsABlitSource) {
  mt::TDibSection dib(3, 1, nullptr), other(2, 1, nullptr);
  const uint8_t pixels[9] = {0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03, 0xFF, 0xFF, 0xFE};
  std::memcpy(dib.GetRow(0), pixels, 9);
  std::memcpy(other.GetRow(0), pixels + 3, 6);
  dib.MakeMask(0x00FFFFFF);
  EXPECT_EQ(At(dib, 0, 0), (Px{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(At(dib, 1, 0), (Px{0, 0, 0}));
  EXPECT_EQ(At(dib, 2, 0), (Px{0, 0, 0}));
  // The key is a COLORREF: red in the low byte, the pixel's byte 2.
  other.MakeMask(0x00010203);
  EXPECT_EQ(At(other, 0, 0), (Px{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(At(other, 1, 0), (Px{0, 0, 0}));

  mt::TDibSection source(2, 2, nullptr), target(2, 2, nullptr);
  std::memset(source.GetRow(1), 0x42, 6);
  std::memset(target.GetRow(0), 0x11, 6);
  ASSERT_TRUE(BitBlt(target.GetDC(), 0, 0, 2, 2, source.GetDC(), 0, 0, SRCCOPY));
  GdiFlush();
  EXPECT_EQ(At(target, 0, 0), (Px{0, 0, 0}));
  EXPECT_EQ(At(target, 1, 1), (Px{0x42, 0x42, 0x42}));
}

struct Free {
  void operator()(HDC__* dc) const { mt::FreeImageDc(dc); }
};
using Dc = std::unique_ptr<HDC__, Free>;

Px ImagePx(HDC dc, int32_t x, int32_t y) {
  int32_t stride = 0;
  auto* bits = static_cast<uint8_t*>(mt::ImageDcBits(dc, nullptr, nullptr, &stride));
  if (bits == nullptr) return {};
  const uint8_t* p = bits + y * stride + x * 3;
  return {p[0], p[1], p[2]};
}

TEST(ImageDc, ImagesStartWhiteWithRowsTopDown) {
  Dc dc(mt::CreateImageDc(3, 2));
  ASSERT_NE(dc, nullptr);
  int32_t width = 0, height = 0, stride = 0;
  auto* bits = static_cast<uint8_t*>(mt::ImageDcBits(dc.get(), &width, &height, &stride));
  ASSERT_NE(bits, nullptr);
  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_EQ(stride, 12);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(bits[i], 0xFF);
  EXPECT_EQ(mt::ImageDcBits(dc.get(), nullptr, nullptr, nullptr), bits);

  // Blacken the top row through the GDI: the first bytes change.
  BitBlt(dc.get(), 0, 0, 3, 1, nullptr, 0, 0, BLACKNESS);
  mt::ImageDcBits(dc.get(), nullptr, nullptr, nullptr);  // flushes
  EXPECT_EQ(ImagePx(dc.get(), 2, 0), (Px{0, 0, 0}));
  EXPECT_EQ(ImagePx(dc.get(), 2, 1), (Px{0xFF, 0xFF, 0xFF}));
  // Asking about the image leaves its pixels as they were.
  EXPECT_EQ(ImagePx(dc.get(), 0, 0), (Px{0, 0, 0}));
}

TEST(ImageDc, OtherContextsAreNotImages) {
  EXPECT_EQ(mt::ImageDcBits(nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(mt::FreeImageDc(nullptr));

  HDC plain = CreateCompatibleDC(nullptr);  // holds the stock bitmap
  ASSERT_NE(plain, nullptr);
  int32_t width = -7;
  EXPECT_EQ(mt::ImageDcBits(plain, &width, nullptr, nullptr), nullptr);
  EXPECT_EQ(width, -7);
  EXPECT_FALSE(mt::FreeImageDc(plain));

  // A bottom-up DIB section is no top-down image.
  BITMAPINFO info;
  std::memset(&info, 0, sizeof info);
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 4, 3, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HGDIOBJ initial = SelectObject(plain, bitmap);
  EXPECT_EQ(mt::ImageDcBits(plain, nullptr, nullptr, nullptr), nullptr);
  EXPECT_FALSE(mt::FreeImageDc(plain));
  EXPECT_EQ(static_cast<uint8_t*>(bits)[2 * 12], 0);  // the probe put the top-left pixel back
  SelectObject(plain, initial);
  DeleteObject(bitmap);
  EXPECT_TRUE(DeleteDC(plain));
}

TEST(ImageDc, SizesBelowOneGiveNullAndFreeingDeletesTheContext) {
  EXPECT_EQ(mt::CreateImageDc(0, 5), nullptr);
  EXPECT_EQ(mt::CreateImageDc(5, 0), nullptr);
  EXPECT_EQ(mt::CreateImageDc(-3, 2), nullptr);
  HDC dc = mt::CreateImageDc(2, 2);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(mt::FreeImageDc(dc));
#ifndef _WIN32  // Windows may hand the same handle value out again
  EXPECT_FALSE(mt::FreeImageDc(dc));
#endif
}

}  // namespace
}  // namespace orvotest
