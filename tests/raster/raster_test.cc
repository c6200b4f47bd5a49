// The raster object: pixels, blocks and tiles of both layouts, the sliding
// view at its limits, damaged files, and one file shared by several openers
// and by another process.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvoapi.h"
#include "raster/raster.h"
#include "tests/raster/raster_bytes.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

constexpr int64_t kMb = 1 << 20;

struct Releaser {
  void operator()(IRaster* r) const { r->Release(); }
};
using RasterPtr = std::unique_ptr<IRaster, Releaser>;

RasterPtr Open(const std::string& path, int32_t cache_mb = 1, bool read_only = false) {
  return RasterPtr(OpenRaster(path.c_str(), cache_mb, read_only));
}

uint16_t Pixel16(IRaster* r, int x, int y) {
  uint16_t v = 0xEEEE;
  EXPECT_TRUE(r->GetPixel(x, y, &v)) << x << "," << y;
  return v;
}

// A 300 x 200 raster of 2-byte pixels in 256 x 256 tiles: two tiles, the
// second one mostly padding.
class RasterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("r.raster");
    ASSERT_TRUE(CreateRaster(path_.c_str(), 300, 200, 256, 256, 2, 0));
  }
  // The pixel's bytes in the file: tile (x / 256) at 264 + tile x 131072.
  uint16_t FilePixel(int x, int y) {
    std::string bytes = ReadFileBytes(path_);
    uint16_t v;
    std::memcpy(&v, bytes.data() + 264 + (x / 256) * 131072 + ((y * 256) + x % 256) * 2, 2);
    return v;
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(RasterTest, PixelsGoToTheirTileInTheFile) {
  {
    RasterPtr r = Open(path_);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->GetWidth(), 300);
    EXPECT_EQ(r->GetHeight(), 200);
    EXPECT_EQ(r->GetTileWidth(), 256);
    EXPECT_EQ(r->GetTileHeight(), 256);
    EXPECT_EQ(r->GetPixelSize(), 2);
    EXPECT_EQ(r->GetFileSize(), 262408);
    uint16_t v = 0x1234;
    EXPECT_TRUE(r->SetPixel(299, 199, &v));
    v = 0x0102;
    EXPECT_TRUE(r->SetPixel(256, 0, &v));
    EXPECT_EQ(Pixel16(r.get(), 299, 199), 0x1234);
    for (auto [x, y] : {std::pair{300, 0}, {0, 200}, {-1, 0}, {0, -1}}) {
      EXPECT_FALSE(r->GetPixel(x, y, &v));
      EXPECT_FALSE(r->SetPixel(x, y, &v));
    }
    EXPECT_FALSE(r->GetPixel(0, 0, nullptr));
    // The tile pointer of a raw tile is the file's bytes.
    auto* tile = static_cast<uint16_t*>(r->GetTile(1, 0));
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile[0], 0x0102);
    EXPECT_EQ(tile[199 * 256 + 43], 0x1234);
    EXPECT_EQ(r->GetTile(2, 0), nullptr);
    EXPECT_EQ(r->GetTile(0, 1), nullptr);
    EXPECT_EQ(r->GetTile(-1, 0), nullptr);
  }
  EXPECT_EQ(FilePixel(299, 199), 0x1234);
  EXPECT_EQ(FilePixel(256, 0), 0x0102);
}

TEST_F(RasterTest, BlocksClipToTheRasterAndLeaveTheRestAlone) {
  RasterPtr r = Open(path_);
  std::vector<uint16_t> src(20 * 3);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i + 1);
  // Spans the tile edge at column 256.
  ASSERT_TRUE(r->SetPixelBlock(246, 10, 20, 3, src.data()));
  EXPECT_EQ(Pixel16(r.get(), 255, 10), 10);
  EXPECT_EQ(Pixel16(r.get(), 256, 10), 11);
  EXPECT_EQ(Pixel16(r.get(), 265, 12), 60);

  // x = -5, w = 10: buffer columns 5..9 come from raster columns 0..4.
  uint16_t v = 7;
  for (int x = 0; x < 5; ++x) ASSERT_TRUE(r->SetPixel(x, 0, &v));
  std::vector<uint16_t> dst(10, 0xAAAA);
  ASSERT_TRUE(r->GetPixelBlock(-5, 0, 10, 1, dst.data()));
  EXPECT_EQ(dst, (std::vector<uint16_t>{0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 7, 7, 7, 7, 7}));
  // Past the right and bottom edges: nothing outside the raster is touched.
  std::vector<uint16_t> edge(4 * 4, 0xBBBB);
  ASSERT_TRUE(r->GetPixelBlock(298, 198, 4, 4, edge.data()));
  EXPECT_EQ(edge[0], 0);
  EXPECT_EQ(edge[2], 0xBBBB);
  EXPECT_EQ(edge[8], 0xBBBB);

  for (auto [x, y, w, h] : {std::array{300, 0, 5, 5}, {0, 200, 5, 5}, {-10, 0, 10, 5},
                            {0, -10, 5, 10}, {0, 0, 0, 5}, {0, 0, 5, -3}, {-5, -5, -10, -10}}) {
    EXPECT_FALSE(r->GetPixelBlock(x, y, w, h, dst.data())) << x << " " << y << " " << w << " " << h;
    EXPECT_FALSE(r->SetPixelBlock(x, y, w, h, dst.data()));
  }
  EXPECT_FALSE(r->GetPixelBlock(0, 0, 4, 4, nullptr));
}

TEST_F(RasterTest, ReadOnlyRastersRefuseEveryWrite) {
  {
    RasterPtr w = Open(path_);
    uint16_t v = 5;
    ASSERT_TRUE(w->SetPixel(1, 1, &v));
  }
  RasterPtr r = Open(path_, 1, true);
  ASSERT_TRUE(r);
  uint16_t v = 9;
  std::vector<uint16_t> block(4, 9);
  EXPECT_FALSE(r->SetPixel(1, 1, &v));
  EXPECT_FALSE(r->SetPixelBlock(0, 0, 2, 2, block.data()));
  EXPECT_EQ(Pixel16(r.get(), 1, 1), 5);
}

TEST_F(RasterTest, WindowFollowsTheCacheSize) {
  // Cache 0: each request maps just what it needs plus one granularity (the
  // head's 264 bytes first, then a whole tile).
  for (auto [cache, want] : {std::pair<int, int64_t>{0, 65536}, {1, kMb}, {1000, 300 * kMb}}) {
    orvo::TRaster r(path_.c_str(), cache, true, /*whole_file_view=*/false);
    EXPECT_EQ(r.WindowSize(), want) << cache;
    ASSERT_NE(r.GetTile(1, 0), nullptr);
    EXPECT_EQ(r.WindowSize(), cache == 0 ? 131072 + 65536 : want) << cache;
    EXPECT_EQ(r.MappingLimit(), 262408);
  }
  // Where views cover the whole file, one view serves every request.
  orvo::TRaster whole(path_.c_str(), 0, true, /*whole_file_view=*/true);
  EXPECT_EQ(whole.WindowSize(), 262408 / 65536 * 65536 + 65536);
}

// Views that slide: the last tile's view is cut at the end of the file (not
// a multiple of the granularity), and every tile still reads its own bytes
// whichever way the view has to move.
TEST(RasterWindow, SlidingViewsReachEveryTileUpToTheEnd) {
  TempDir dir;
  std::string path = dir.File("slide.raster");
  ASSERT_TRUE(CreateRaster(path.c_str(), 3 * 200, 200, 200, 200, 1, 0));  // 40,000-byte tiles
  {
    RasterPtr w = Open(path);
    for (int t = 0; t < 3; ++t) {
      std::string tile(40000, static_cast<char>('A' + t));
      ASSERT_TRUE(w->SetPixelBlock(t * 200, 0, 200, 200, tile.data()));
    }
  }
  for (int cache : {0, 1}) {
    orvo::TRaster r(path.c_str(), cache, true, /*whole_file_view=*/false);
    for (int t : {2, 0, 1, 2}) {
      auto* tile = static_cast<const char*>(r.GetTile(t, 0));
      ASSERT_NE(tile, nullptr) << cache << " " << t;
      EXPECT_EQ(tile[0], 'A' + t);
      EXPECT_EQ(tile[39999], 'A' + t);
    }
    std::string row(600, '.');
    ASSERT_TRUE(r.GetPixelBlock(0, 199, 600, 1, row.data()));
    EXPECT_EQ(row, std::string(200, 'A') + std::string(200, 'B') + std::string(200, 'C'));
  }
}

TEST_F(RasterTest, OpenersShareOneFile) {
  RasterPtr first = Open(path_);
  RasterPtr second = Open(path_, 0);
  ASSERT_TRUE(first && second);
  uint16_t v = 42;
  ASSERT_TRUE(first->SetPixel(3, 4, &v));
  EXPECT_EQ(Pixel16(second.get(), 3, 4), 42);
  v = 43;
  ASSERT_TRUE(second->SetPixel(290, 150, &v));
  EXPECT_EQ(Pixel16(first.get(), 290, 150), 43);

  // A clone outlives the object that holds the file; a new opener then holds
  // the file again and shares the clone's section.
  RasterPtr clone(first->Clone(true));
  ASSERT_TRUE(clone);
  first.reset();
  second.reset();
  RasterPtr again = Open(path_);
  ASSERT_TRUE(again);
  v = 44;
  ASSERT_TRUE(again->SetPixel(3, 4, &v));
  EXPECT_EQ(Pixel16(clone.get(), 3, 4), 44);
  EXPECT_FALSE(clone->SetPixel(3, 4, &v));
}

TEST_F(RasterTest, ReferenceCounting) {
  IRaster* r = OpenRaster(path_.c_str(), 1, false);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->AddRef(), 1);
  EXPECT_EQ(r->AddRef(), 2);
  EXPECT_EQ(r->Release(), 1);
  EXPECT_EQ(r->GetWidth(), 300);
  EXPECT_EQ(r->Release(), 0);  // below 1: destroyed
}

// Child: opens the raster args[0], expects pixel (3, 4) to hold args[1] and
// writes args[2] at (290, 150). Exit 0 done, 1 no raster, 2 wrong pixel,
// 3 write refused.
ORVO_CHILD(raster_peer) {
  IRaster* r = OpenRaster(args.at(0).c_str(), 1, false);
  if (r == nullptr) return 1;
  uint16_t v = 0;
  int code = r->GetPixel(3, 4, &v) && v == std::stoi(args.at(1)) ? 0 : 2;
  v = static_cast<uint16_t>(std::stoi(args.at(2)));
  if (code == 0 && !r->SetPixel(290, 150, &v)) code = 3;
  r->Release();
  return code;
}

TEST_F(RasterTest, AnotherProcessSeesAndMakesWrites) {
  RasterPtr r = Open(path_);
  uint16_t v = 321;
  ASSERT_TRUE(r->SetPixel(3, 4, &v));
  ASSERT_EQ(RunChild("raster_peer", {path_, "321", "654"}), 0);
  EXPECT_EQ(Pixel16(r.get(), 290, 150), 654);
}

// Variable layout: tile 0 raw, tile 1 run-length, tile 2 absent, tile 3 a
// stream with a bad method word, tile 4 a stream that comes out short.
class VariableRasterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("v.raster");
    std::string raw;
    for (int i = 0; i < 16; ++i) raw.push_back(static_cast<char>(i));
    WriteFileBytes(path_, VariableRaster(MakeHead(20, 4, 4, 4, 1),
                                         {raw, RleTile({{10, "a"}, {6, "b"}}), std::nullopt,
                                          RleTile({{16, "c"}}, 2), RleTile({{15, "d"}})}));
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(VariableRasterTest, RawCompressedAndAbsentTiles) {
  RasterPtr r = Open(path_);
  ASSERT_TRUE(r);
  auto tile1 = static_cast<const char*>(r->GetTile(1, 0));
  ASSERT_NE(tile1, nullptr);
  EXPECT_EQ(std::string(tile1, 16), "aaaaaaaaaabbbbbb");
  EXPECT_EQ(r->GetTile(2, 0), nullptr);
  EXPECT_EQ(r->GetTile(3, 0), nullptr);
  EXPECT_EQ(r->GetTile(4, 0), nullptr);
  char v = 0;
  ASSERT_TRUE(r->GetPixel(5, 2, &v));  // tile 1, pixel (1, 2): index 9
  EXPECT_EQ(v, 'a');
  EXPECT_FALSE(r->GetPixel(8, 0, &v));  // absent

  // A row across all five tiles: absent and undeliverable tiles stay as they were.
  std::string row(20, '.');
  ASSERT_TRUE(r->GetPixelBlock(0, 1, 20, 1, row.data()));
  EXPECT_EQ(row, std::string("\x04\x05\x06\x07", 4) + "aaaa" + std::string(12, '.'));

  // Writes to run-length tiles would be lost: refused, and a block touching
  // one changes nothing anywhere.
  v = 'z';
  EXPECT_FALSE(r->SetPixel(5, 2, &v));
  EXPECT_FALSE(r->SetPixelBlock(2, 0, 4, 1, "zzzz"));
  EXPECT_TRUE(r->GetPixel(2, 0, &v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(r->SetPixel(2, 0, &v));  // raw tiles take writes
  EXPECT_TRUE(r->SetPixelBlock(8, 0, 4, 1, "zzzz") == false);  // absent only
}

// Heads that must not open, each a small change to a valid variable file.
TEST(RasterDamage, BadHeadsAndTablesDoNotOpen) {
  TempDir dir;
  const orvo::RASTERHEAD good = MakeHead(8, 8, 4, 4, 1);
  const std::vector<std::optional<std::string>> tiles(4, std::string(16, 'x'));
  struct Case {
    const char* name;
    void (*damage)(std::string&);
  };
  const Case cases[] = {
      {"magic", [](std::string& b) { b[0] = 'R'; }},
      {"short file", [](std::string& b) { b.resize(200); }},
      {"file size below head", [](std::string& b) { int64_t v = 100; std::memcpy(b.data() + 8, &v, 8); }},
      {"head size below 264", [](std::string& b) { int64_t v = 263; std::memcpy(b.data() + 16, &v, 8); }},
      {"zero width", [](std::string& b) { int64_t v = 0; std::memcpy(b.data() + 32, &v, 8); }},
      {"negative height", [](std::string& b) { int64_t v = -8; std::memcpy(b.data() + 40, &v, 8); }},
      {"zero tile width", [](std::string& b) { int64_t v = 0; std::memcpy(b.data() + 48, &v, 8); }},
      {"zero pixel size", [](std::string& b) { int64_t v = 0; std::memcpy(b.data() + 64, &v, 8); }},
      {"huge sizes", [](std::string& b) { int64_t v = INT64_MAX / 2; for (int f = 32; f <= 64; f += 8) std::memcpy(b.data() + f, &v, 8); }},
      {"product overflow", [](std::string& b) { int64_t v = INT32_MAX; for (int f = 32; f <= 64; f += 8) std::memcpy(b.data() + f, &v, 8); }},
      {"both offsets zero", [](std::string& b) { int64_t v = 0; std::memcpy(b.data() + 72, &v, 8); }},
      {"both offsets set", [](std::string& b) { int64_t v = 264; std::memcpy(b.data() + 80, &v, 8); }},
      {"table past the end", [](std::string& b) { int64_t v = 1 << 20; std::memcpy(b.data() + 72, &v, 8); }},
      {"table inside the head", [](std::string& b) { int64_t v = 8; std::memcpy(b.data() + 72, &v, 8); }},
  };
  for (const Case& c : cases) {
    std::string bytes = VariableRaster(good, tiles);
    c.damage(bytes);
    std::string path = dir.File(std::string(c.name) + ".raster");
    WriteFileBytes(path, bytes);
    EXPECT_EQ(OpenRaster(path.c_str(), 1, false), nullptr) << c.name;
  }
  // The messages of the object itself.
  std::string no_magic = dir.File("magic.raster");
  try {
    orvo::TRaster r(no_magic.c_str(), 1, true);
    ADD_FAILURE() << "opened";
  } catch (const char* message) {
    EXPECT_STREQ(message, "bad raster file format");
  }
  std::string no_layout = dir.File("both offsets zero.raster");
  try {
    orvo::TRaster r(no_layout.c_str(), 1, true);
    ADD_FAILURE() << "opened";
  } catch (const char* message) {
    EXPECT_STREQ(message, "can't open raster file");
  }
  try {
    orvo::TRaster r(dir.File("missing.raster").c_str(), 1, true);
    ADD_FAILURE() << "opened";
  } catch (const char* message) {
    EXPECT_STREQ(message, "can not create file view for raster");
  }
}

TEST(RasterDamage, TilesOutsideTheFileAreNotDelivered) {
  TempDir dir;
  // The head claims a file far longer than it is, and tile 1's entry points
  // past the real end: no view may reach beyond the file.
  orvo::RASTERHEAD head = MakeHead(8, 4, 4, 4, 1);
  std::string bytes = VariableRaster(head, {std::string(16, 'x'), std::string(16, 'y')});
  int64_t claimed = 1 << 30;
  std::memcpy(bytes.data() + 8, &claimed, 8);
  int64_t far = static_cast<int64_t>(bytes.size()) + 65536 * 3;
  std::memcpy(bytes.data() + 264 + 12, &far, 8);
  std::string path = dir.File("long.raster");
  WriteFileBytes(path, bytes);
  RasterPtr r = Open(path, 0);
  ASSERT_TRUE(r);
  EXPECT_NE(r->GetTile(0, 0), nullptr);
  EXPECT_EQ(r->GetTile(1, 0), nullptr);
  std::string block(8, '.');
  EXPECT_TRUE(r->GetPixelBlock(0, 0, 8, 1, block.data()));
  EXPECT_EQ(block, "xxxx....");

  // A fixed layout whose file was cut short: tiles past the end are not
  // delivered, the ones before are.
  std::string cut = dir.File("cut.raster");
  ASSERT_TRUE(CreateRaster(cut.c_str(), 512, 512, 256, 256, 1, 0));
  std::string fixed = ReadFileBytes(cut);
  fixed.resize(264 + 65536 * 2 + 10);
  WriteFileBytes(cut, fixed);
  RasterPtr f = Open(cut, 1);
  ASSERT_TRUE(f);
  EXPECT_NE(f->GetTile(1, 0), nullptr);
  EXPECT_EQ(f->GetTile(0, 1), nullptr);
  EXPECT_EQ(f->GetTile(1, 1), nullptr);
}

#ifndef _WIN32
// A raster past 4 GiB: positions are 64-bit all the way to the view.
TEST(RasterLarge, SparseFileBeyondFourGigabytes) {
  TempDir dir;
  std::string path = dir.File("big.raster");
  // 65536 x 40960 pixels of 2 bytes: 5 GiB of tiles.
  if (!CreateRaster(path.c_str(), 65536, 40960, 256, 256, 2, 0))
    GTEST_SKIP() << "the file system refuses a sparse 5 GiB file";
  RasterPtr r = Open(path, 16);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetFileSize(), 264 + 65536LL * 40960 * 2);
  uint16_t v = 0xBEEF;
  ASSERT_TRUE(r->SetPixel(65535, 40959, &v));
  ASSERT_TRUE(r->SetPixel(0, 0, &v));
  r.reset();
  r = Open(path, 0, true);
  EXPECT_EQ(Pixel16(r.get(), 65535, 40959), 0xBEEF);
  EXPECT_EQ(Pixel16(r.get(), 0, 0), 0xBEEF);
  EXPECT_EQ(Pixel16(r.get(), 65534, 40959), 0);
}
#endif

}  // namespace
}  // namespace orvotest
