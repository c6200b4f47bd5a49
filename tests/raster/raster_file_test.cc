// Raster files: bytes written, heads read and rewritten, tile counts, run-length streams.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "orvoapi.h"
#include "raster/raster_format.h"
#include "tests/raster/raster_bytes.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

class RasterFileTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(RasterFileTest, CreateWritesTheHeadAndSizesTheFileOrRefuses) {
  std::string path = dir_.File("a.raster");
  ASSERT_TRUE(CreateRaster(path.c_str(), 300, 200, 256, 256, 2, 0));
  orvo::RASTERHEAD want = MakeHead(300, 200, 256, 256, 2);
  want.file_size = 262408;  // 264 + 2 x 1 tiles of 256 x 256 x 2
  want.data_offset = 264;
  EXPECT_EQ(ReadFileBytes(path), HeadBytes(want) + std::string(262144, '\0'));

  // A longer head moves the data offset; the head size stays 264.
  std::string wide = dir_.File("wide.raster");
  ASSERT_TRUE(CreateRaster(wide.c_str(), 10, 10, 4, 4, 1, 4096));
  want = MakeHead(10, 10, 4, 4, 1);
  want.file_size = 4096 + 9 * 16;
  want.data_offset = 4096;
  EXPECT_EQ(ReadFileBytes(wide), HeadBytes(want) + std::string(4096 - 264 + 9 * 16, '\0'));

  std::string taken = dir_.File("taken.raster");
  WriteFileBytes(taken, "keep me");
  EXPECT_FALSE(CreateRaster(taken.c_str(), 10, 10, 4, 4, 1, 0));
  EXPECT_EQ(ReadFileBytes(taken), "keep me");
  std::string fresh = dir_.File("fresh.raster");
  for (auto sizes : {std::array{0, 10, 4, 4, 1}, std::array{10, -1, 4, 4, 1},
                     std::array{10, 10, 0, 4, 1}, std::array{10, 10, 4, 4, 0},
                     std::array{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}}) {
    EXPECT_FALSE(CreateRaster(fresh.c_str(), sizes[0], sizes[1], sizes[2], sizes[3], sizes[4], 0));
    EXPECT_TRUE(ReadFileBytes(fresh).empty());
  }
  EXPECT_FALSE(CreateRaster(nullptr, 10, 10, 4, 4, 1, 0));
}

TEST_F(RasterFileTest, HeadReadAndWriteKeepTheLibrarysBytesAndRefuseOtherFiles) {
  std::string path = dir_.File("h.raster");
  ASSERT_TRUE(CreateRaster(path.c_str(), 10, 10, 4, 4, 1, 4096));
  std::string before = ReadFileBytes(path);
  std::string head(4097, '\x7f');
  EXPECT_EQ(ReadRasterHead(path.c_str(), head.data(), 263), 0);
  EXPECT_EQ(head, std::string(4097, '\x7f'));
  EXPECT_EQ(ReadRasterHead(path.c_str(), head.data(), 264), 264);
  EXPECT_TRUE(IsRaster(path.c_str()));
  EXPECT_EQ(WriteRasterHead(path.c_str(), std::string(4097, 'u').data(), 4097), 0);
  EXPECT_EQ(WriteRasterHead(path.c_str(), std::string(263, 'u').data(), 263), 0);
  EXPECT_EQ(ReadFileBytes(path), before);
  ASSERT_EQ(WriteRasterHead(path.c_str(), std::string(4096, 'u').data(), 4096), 4096);
  const int64_t head_size = 4096;  // the library's fields stay, the head size follows
  EXPECT_EQ(ReadFileBytes(path),
            before.substr(0, 16) + std::string(reinterpret_cast<const char*>(&head_size), 8) +
                before.substr(24, 64) + std::string(4096 - 88, 'u') + before.substr(4096));
  EXPECT_EQ(ReadRasterHead(path.c_str(), head.data(), 4096), 4096);

  // Heads of other files are refused.
  std::string text = dir_.File("text.raster");
  WriteFileBytes(text, std::string(300, 'x'));
  std::string shorter = dir_.File("short.raster");
  WriteFileBytes(shorter, std::string("_raster_") + std::string(100, '\0'));
  std::string variable = dir_.File("var.raster");
  WriteFileBytes(variable, VariableRaster(MakeHead(4, 4, 4, 4, 1), {std::string(16, 'p')}));
  for (const std::string& other : {text, shorter, dir_.File("missing.raster")}) {
    EXPECT_EQ(ReadRasterHead(other.c_str(), head.data(), 264), 0) << other;
    EXPECT_FALSE(IsRaster(other.c_str())) << other;
    EXPECT_EQ(WriteRasterHead(other.c_str(), head.data(), 264), 0) << other;
  }
  // Only fixed-layout heads can be rewritten: the table sits where the head would grow.
  EXPECT_TRUE(IsRaster(variable.c_str()));
  before = ReadFileBytes(variable);
  EXPECT_EQ(WriteRasterHead(variable.c_str(), head.data(), 264), 0);
  EXPECT_EQ(ReadFileBytes(variable), before);
}

TEST(RasterTileCount, RoundsUp) {
  EXPECT_EQ((std::array{TileCount(256, 256), TileCount(256, 257), TileCount(256, 1),
                        TileCount(7, 0), TileCount(1, INT32_MAX), TileCount(0, 5)}),
            (std::array{1, 2, 1, 0, INT32_MAX, 0}));
}

using namespace std::string_literals;

std::string Compress(const std::string& src, int pixel_size) {
  std::string dst(src.size(), '\0');
  int32_t n = RleCompress(dst.data(), src.data(), static_cast<int32_t>(src.size()), pixel_size);
  dst.resize(n);
  return dst;
}

TEST(Rle, ExactStreamsAndDecodingThatMustFillExactly) {
  // A long run splits at the largest count.
  EXPECT_EQ(Compress(std::string(65536 * 2, '\x05'), 2), "\xff\xff\x05\x05\x01\0\x05\x05"s);
  EXPECT_EQ(Compress("aaaaaaaa", 2), "\x04\0aa"s);
  // A stream not shorter than the source gives zero.
  std::string distinct;
  for (int i = 0; i < 1000; ++i) distinct.push_back(static_cast<char>(i * 7));
  EXPECT_EQ(Compress(distinct, 1), "");
  EXPECT_EQ(Compress("aaaabbbb", 2), "");
  EXPECT_EQ(Compress("aaaaaabb", 2), "");
  EXPECT_EQ(Compress("abc", 2), "");  // not whole pixels

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
}  // namespace orvotest
