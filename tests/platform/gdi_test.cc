// Contract tests of the GDI subset: memory device contexts, 24-bit DIB
// sections in both row orders, selection ownership, the four raster operations
// the library draws with, overlapping blits and bad handles. In the Windows
// build the real GDI answers the same expectations. (Clipping to both images
// is covered by the display tests: signs drawn far off the image.)
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32.h"
#include "tests/support/images.h"

namespace orvotest {
namespace {

// A DIB section of w x h 24-bit pixels selected into its own memory context.
class DibImage {
 public:
  DibImage(int w, int h, bool top_down) : w_(w), h_(h), top_down_(top_down) {
    void* bits = nullptr;
    bitmap_ = Dib24(w, top_down ? -h : h, &bits);
    bits_ = static_cast<uint8_t*>(bits);
    dc_ = CreateCompatibleDC(nullptr);
    if (bitmap_ != nullptr && dc_ != nullptr) initial_ = SelectObject(dc_, bitmap_);
  }
  ~DibImage() {
    if (initial_ != nullptr) SelectObject(dc_, initial_);
    if (dc_ != nullptr) DeleteDC(dc_);
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
  }
  DibImage(const DibImage&) = delete;
  DibImage& operator=(const DibImage&) = delete;

  bool ok() const { return bits_ != nullptr && initial_ != nullptr; }
  HDC dc() const { return dc_; }
  const uint8_t* bits() const { return bits_; }  // in storage order
  int stride() const { return (w_ * 3 + 3) & ~3; }
  // Pixel (x, y) with y = 0 the top row, whatever the storage order.
  uint8_t* At(int x, int y) {
    int stored = top_down_ ? y : h_ - 1 - y;
    return bits_ + stored * stride() + x * 3;
  }
  // Every pixel gets blue = x * 16 + y, green = 0x5A, red = marker.
  void Fill(uint8_t marker) {
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) Set(x, y, static_cast<uint8_t>(x * 16 + y), 0x5A, marker);
  }
  void Set(int x, int y, uint8_t b, uint8_t g, uint8_t r) {
    const uint8_t bgr[3] = {b, g, r};
    std::memcpy(At(x, y), bgr, 3);
  }
  std::vector<uint8_t> Pixel(int x, int y) { return {At(x, y), At(x, y) + 3}; }

 private:
  int w_, h_;
  bool top_down_;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ initial_ = nullptr;
  uint8_t* bits_ = nullptr;
};

using Px = std::vector<uint8_t>;

TEST(PlatformGdi, DibSectionsStartZeroedAndBottomUpRowsReachTopDownImagesUpright) {
  DibImage bottom_up(3, 2, false);
  DibImage top_down(3, 2, true);
  ASSERT_TRUE(bottom_up.ok() && top_down.ok());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(top_down.Pixel(x, y), (Px{0, 0, 0}));
  bottom_up.Fill(7);
  ASSERT_TRUE(BitBlt(top_down.dc(), 0, 0, 3, 2, bottom_up.dc(), 0, 0, SRCCOPY));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(top_down.Pixel(x, y), bottom_up.Pixel(x, y));
  // The first stored row of a bottom-up image is its bottom row.
  const uint8_t* stored = bottom_up.bits();
  EXPECT_EQ(top_down.Pixel(0, 1), (Px{stored[0], stored[1], stored[2]}));
  EXPECT_EQ(top_down.Pixel(0, 1), (Px{1, 0x5A, 7}));
}

TEST(PlatformGdi, BlitOperationsCombineEveryByte) {
  struct Case {
    DWORD rop;
    uint8_t (*expect)(uint8_t s, uint8_t d);
  };
  const Case cases[] = {
      {SRCCOPY, [](uint8_t s, uint8_t) { return s; }},
      {SRCINVERT, [](uint8_t s, uint8_t d) { return static_cast<uint8_t>(s ^ d); }},
      {SRCAND, [](uint8_t s, uint8_t d) { return static_cast<uint8_t>(s & d); }},
      {SRCPAINT, [](uint8_t s, uint8_t d) { return static_cast<uint8_t>(s | d); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rop);
    DibImage src(4, 3, true);
    DibImage dst(4, 3, false);
    ASSERT_TRUE(src.ok() && dst.ok());
    src.Fill(0xC3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) dst.Set(x, y, 0x0F, static_cast<uint8_t>(0x30 + x), 0x96);
    ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, 4, 3, src.dc(), 0, 0, c.rop));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        Px s = src.Pixel(x, y);
        Px want = {c.expect(s[0], 0x0F), c.expect(s[1], static_cast<uint8_t>(0x30 + x)),
                   c.expect(s[2], 0x96)};
        EXPECT_EQ(dst.Pixel(x, y), want) << x << "," << y;
      }
  }
}

TEST(PlatformGdi, BlitWithinOneImageReadsBeforeWritingAndBadHandlesFail) {
  DibImage image(4, 1, true);
  ASSERT_TRUE(image.ok());
  image.Fill(9);
  Px first = image.Pixel(0, 0), second = image.Pixel(1, 0), third = image.Pixel(2, 0);
  ASSERT_TRUE(BitBlt(image.dc(), 1, 0, 3, 1, image.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(image.Pixel(1, 0), first);
  EXPECT_EQ(image.Pixel(2, 0), second);
  EXPECT_EQ(image.Pixel(3, 0), third);
  // Bad handles and missing sources fail.
  EXPECT_FALSE(BitBlt(image.dc(), 0, 0, 2, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_FALSE(BitBlt(nullptr, 0, 0, 2, 1, image.dc(), 0, 0, SRCCOPY));
  EXPECT_EQ(SelectObject(image.dc(), nullptr), nullptr);
  EXPECT_FALSE(DeleteDC(nullptr));
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(PlatformGdi, ABitmapIsSelectedIntoOneContextAtATime) {
  void* bits = nullptr;
  HBITMAP bitmap = Dib24(2, -2, &bits);
  ASSERT_NE(bitmap, nullptr);
  ASSERT_NE(bits, nullptr);
  HDC first = CreateCompatibleDC(nullptr);
  HDC second = CreateCompatibleDC(first);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);

  HGDIOBJ initial = SelectObject(first, bitmap);
  ASSERT_NE(initial, nullptr);
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);
  // Selecting the one it holds again hands back that same bitmap.
  EXPECT_EQ(SelectObject(first, bitmap), static_cast<HGDIOBJ>(bitmap));
  // Putting the initial bitmap back frees ours for the other context.
  EXPECT_EQ(SelectObject(first, initial), static_cast<HGDIOBJ>(bitmap));
  HGDIOBJ second_initial = SelectObject(second, bitmap);
  EXPECT_EQ(second_initial, initial);  // every context starts with the same stock bitmap
  EXPECT_EQ(SelectObject(second, second_initial), static_cast<HGDIOBJ>(bitmap));

  // Deleting a context frees its bitmap as well.
  ASSERT_NE(SelectObject(first, bitmap), nullptr);
  EXPECT_TRUE(DeleteDC(first));
  EXPECT_NE(SelectObject(second, bitmap), nullptr);
  EXPECT_EQ(SelectObject(second, second_initial), static_cast<HGDIOBJ>(bitmap));

  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(SelectObject(second, bitmap), nullptr);  // gone
  EXPECT_TRUE(DeleteDC(second));
}

}  // namespace
}  // namespace orvotest
