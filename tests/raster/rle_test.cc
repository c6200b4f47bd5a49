// Run-length coding against a plain reference decoder, and its boundaries.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "orvoapi.h"

namespace {

using namespace std::string_literals;

// Decodes the way the format reads, one byte at a time.
std::string ReferenceDecode(const std::string& stream, int pixel_size) {
  std::string out;
  for (size_t at = 0; at + 2 + pixel_size <= stream.size(); at += 2 + pixel_size) {
    uint16_t count;
    std::memcpy(&count, stream.data() + at, 2);
    for (int i = 0; i < count; ++i) out.append(stream, at + 2, pixel_size);
  }
  return out;
}

std::string Compress(const std::string& src, int pixel_size) {
  std::string dst(src.size(), '\0');
  int32_t n = RleCompress(dst.data(), src.data(), static_cast<int32_t>(src.size()), pixel_size);
  dst.resize(n);
  return dst;
}

TEST(Rle, RoundTripsRunsOfEveryPixelSize) {
  std::mt19937 rng(7);
  for (int pixel_size : {1, 2, 3, 4, 5, 8, 16}) {
    // Runs of random lengths (some longer than a count holds) of few values.
    std::string src;
    while (src.size() < 200000u * pixel_size) {
      std::string pixel(pixel_size, static_cast<char>(rng() % 3));
      pixel[pixel_size - 1] = static_cast<char>(rng() % 2);
      int run = rng() % 8 == 0 ? 70000 : 1 + static_cast<int>(rng() % 40);
      for (int i = 0; i < run; ++i) src += pixel;
    }
    std::string stream = Compress(src, pixel_size);
    ASSERT_GT(stream.size(), 0u) << pixel_size;
    EXPECT_EQ(ReferenceDecode(stream, pixel_size), src) << pixel_size;
    std::string back(src.size(), '\0');
    EXPECT_TRUE(RleDecompress(back.data(), static_cast<int32_t>(back.size()), stream.data(),
                              static_cast<int32_t>(stream.size()), pixel_size));
    EXPECT_EQ(back, src) << pixel_size;
  }
}

TEST(Rle, ExactStreamsAndCompressionThatDoesNotPay) {
  // A long run splits at the largest count.
  EXPECT_EQ(Compress(std::string(65536 * 2, '\x05'), 2), "\xff\xff\x05\x05\x01\0\x05\x05"s);
  EXPECT_EQ(Compress("aaaaaaaa", 2), "\x04\0aa"s);
  // A stream as long as the source or longer gives zero: two runs of two
  // 2-byte pixels code to 8 bytes for 8.
  std::string distinct;
  for (int i = 0; i < 1000; ++i) distinct.push_back(static_cast<char>(i * 7));
  EXPECT_EQ(Compress(distinct, 1), "");
  EXPECT_EQ(Compress("aaaabbbb", 2), "");
  EXPECT_EQ(Compress("aaaaaabb", 2), "");
  EXPECT_EQ(Compress("abc", 2), "");  // not whole pixels
}

TEST(Rle, DecodingRefusesStreamsThatDoNotFillExactly) {
  const std::string two_runs = "\x03\0a\x02\0b"s;
  std::string dst(5, '\0');
  EXPECT_TRUE(RleDecompress(dst.data(), 5, two_runs.data(), 6, 1));
  EXPECT_EQ(dst, "aaabb");
  std::string big(8, '-');
  EXPECT_FALSE(RleDecompress(big.data(), 4, two_runs.data(), 6, 1));  // overruns
  EXPECT_EQ(big.substr(3), "-----");                                  // nothing past 3
  EXPECT_FALSE(RleDecompress(big.data(), 6, two_runs.data(), 6, 1));  // short
  EXPECT_FALSE(RleDecompress(big.data(), 5, two_runs.data(), 5, 1));  // truncated run
  EXPECT_FALSE(RleDecompress(nullptr, 5, two_runs.data(), 6, 1));
}

}  // namespace
