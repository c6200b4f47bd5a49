// Raster files: the bytes creation writes, heads read and rewritten through
// the file and through the mapping an open raster shares, and tile counts.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "orvoapi.h"
#include "raster/raster_format.h"
#include "tests/raster/raster_bytes.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

int64_t Field(const std::string& bytes, size_t offset) {
  int64_t v;
  std::memcpy(&v, bytes.data() + offset, 8);
  return v;
}

class RasterFileTest : public ::testing::Test {
 protected:
  TempDir dir_;
};

TEST_F(RasterFileTest, CreateWritesTheHeadAndSizesTheFile) {
  std::string path = dir_.File("a.raster");
  ASSERT_TRUE(CreateRaster(path.c_str(), 300, 200, 256, 256, 2, 0));
  std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 262408u);  // 264 + 2 x 1 tiles of 256 x 256 x 2
  orvo::RASTERHEAD want = MakeHead(300, 200, 256, 256, 2);
  want.file_size = 262408;
  want.data_offset = 264;
  EXPECT_EQ(bytes.substr(0, 264), HeadBytes(want));
  EXPECT_EQ(bytes.find_first_not_of('\0', 264), std::string::npos);

  // A longer head moves the data offset; the head size stays 264.
  std::string wide = dir_.File("wide.raster");
  ASSERT_TRUE(CreateRaster(wide.c_str(), 10, 10, 4, 4, 1, 4096));
  bytes = ReadFileBytes(wide);
  EXPECT_EQ(Field(bytes, 16), 264);
  EXPECT_EQ(Field(bytes, 80), 4096);
  EXPECT_EQ(bytes.size(), 4096u + 9 * 16);
}

TEST_F(RasterFileTest, CreateRefusesExistingFilesAndBadSizes) {
  std::string path = dir_.File("taken.raster");
  WriteFileBytes(path, "keep me");
  EXPECT_FALSE(CreateRaster(path.c_str(), 10, 10, 4, 4, 1, 0));
  EXPECT_EQ(ReadFileBytes(path), "keep me");
  std::string fresh = dir_.File("fresh.raster");
  for (auto sizes : {std::array{0, 10, 4, 4, 1}, std::array{10, -1, 4, 4, 1},
                     std::array{10, 10, 0, 4, 1}, std::array{10, 10, 4, 4, 0},
                     std::array{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}}) {
    EXPECT_FALSE(CreateRaster(fresh.c_str(), sizes[0], sizes[1], sizes[2], sizes[3], sizes[4], 0));
    EXPECT_TRUE(ReadFileBytes(fresh).empty());
  }
  EXPECT_FALSE(CreateRaster(nullptr, 10, 10, 4, 4, 1, 0));
}

TEST_F(RasterFileTest, HeadReadAndWriteKeepTheLibrarysBytes) {
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
  std::string after = ReadFileBytes(path);
  EXPECT_EQ(after.substr(0, 16), before.substr(0, 16));
  EXPECT_EQ(Field(after, 16), 4096);
  EXPECT_EQ(after.substr(24, 64), before.substr(24, 64));
  EXPECT_EQ(after.substr(88, 4096 - 88), std::string(4096 - 88, 'u'));
  EXPECT_EQ(after.substr(4096), before.substr(4096));
  EXPECT_EQ(ReadRasterHead(path.c_str(), head.data(), 4096), 4096);
}

TEST_F(RasterFileTest, HeadsOfOtherFilesAreRefused) {
  std::string head(264, '\0');
  std::string text = dir_.File("text.raster");
  WriteFileBytes(text, std::string(300, 'x'));
  std::string shorter = dir_.File("short.raster");
  WriteFileBytes(shorter, std::string("_raster_") + std::string(100, '\0'));
  std::string variable = dir_.File("var.raster");
  WriteFileBytes(variable, VariableRaster(MakeHead(4, 4, 4, 4, 1), {std::string(16, 'p')}));
  for (const std::string& path : {text, shorter, dir_.File("missing.raster")}) {
    EXPECT_EQ(ReadRasterHead(path.c_str(), head.data(), 264), 0) << path;
    EXPECT_FALSE(IsRaster(path.c_str())) << path;
    EXPECT_EQ(WriteRasterHead(path.c_str(), head.data(), 264), 0) << path;
  }
  // Only fixed-layout heads can be rewritten: the table sits where the head would grow.
  EXPECT_TRUE(IsRaster(variable.c_str()));
  std::string before = ReadFileBytes(variable);
  EXPECT_EQ(WriteRasterHead(variable.c_str(), head.data(), 264), 0);
  EXPECT_EQ(ReadFileBytes(variable), before);
}

TEST_F(RasterFileTest, HeadIsReachedThroughTheMappingOfAnOpenRaster) {
  std::string path = dir_.File("open.raster");
  ASSERT_TRUE(CreateRaster(path.c_str(), 10, 10, 4, 4, 1, 1024));
  IRaster* raster = OpenRaster(path.c_str(), 1, false);
  ASSERT_NE(raster, nullptr);
  std::string head(1024, 'w');
  EXPECT_TRUE(IsRaster(path.c_str()));
  EXPECT_EQ(WriteRasterHead(path.c_str(), head.data(), 1024), 1024);
  EXPECT_EQ(WriteRasterHead(path.c_str(), head.data(), 1025), 0);
  std::string back(1024, '\0');
  EXPECT_EQ(ReadRasterHead(path.c_str(), back.data(), 1024), 1024);
  EXPECT_EQ(back.substr(88), head.substr(88));
  EXPECT_EQ(back.substr(0, 8), "_raster_");
  raster->Release();
  // The writes went to the file.
  std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(Field(bytes, 16), 1024);
  EXPECT_EQ(bytes.substr(88, 1024 - 88), head.substr(88));
}

TEST(RasterTileCount, RoundsUp) {
  EXPECT_EQ((std::array{TileCount(256, 256), TileCount(256, 257), TileCount(256, 1),
                        TileCount(7, 0), TileCount(1, INT32_MAX), TileCount(0, 5)}),
            (std::array{1, 2, 1, 0, INT32_MAX, 0}));
}

}  // namespace
}  // namespace orvotest
