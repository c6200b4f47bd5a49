// Image device contexts: white images, their bits, and contexts that are not
// theirs. These tests mix in GDI calls of their own, so they use the internal
// library's functions: on Linux the shared library keeps a GDI of its own,
// which the C host test reaches through the exports.
#include "display/image_dc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32.h"

namespace orvotest {
namespace {

using Px = std::vector<uint8_t>;

struct Free {
  void operator()(HDC__* dc) const { mt::FreeImageDc(dc); }
};
using Dc = std::unique_ptr<HDC__, Free>;

Px Pixel(HDC dc, int32_t x, int32_t y) {
  int32_t stride = 0;
  auto* bits = static_cast<uint8_t*>(mt::ImageDcBits(dc, nullptr, nullptr, &stride));
  if (bits == nullptr) return {};
  const uint8_t* p = bits + y * stride + x * 3;
  return {p[0], p[1], p[2]};
}

TEST(ImageDc, SizesBelowOneGiveNull) {
  EXPECT_EQ(mt::CreateImageDc(0, 5), nullptr);
  EXPECT_EQ(mt::CreateImageDc(5, 0), nullptr);
  EXPECT_EQ(mt::CreateImageDc(-3, 2), nullptr);
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
  EXPECT_EQ(Pixel(dc.get(), 2, 0), (Px{0, 0, 0}));
  EXPECT_EQ(Pixel(dc.get(), 2, 1), (Px{0xFF, 0xFF, 0xFF}));
  // Asking about the image leaves its pixels as they were.
  EXPECT_EQ(Pixel(dc.get(), 0, 0), (Px{0, 0, 0}));
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

TEST(ImageDc, FreeingDeletesTheContext) {
  HDC dc = mt::CreateImageDc(2, 2);
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(mt::FreeImageDc(dc));
#ifndef _WIN32  // Windows may hand the same handle value out again
  EXPECT_FALSE(mt::FreeImageDc(dc));
#endif
}

}  // namespace
}  // namespace orvotest
