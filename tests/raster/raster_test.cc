// The raster object: pixels, blocks, tiles of both layouts, damage, processes.
#include "raster/raster.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#endif

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/holders.h"
#include "orvoapi.h"
#include "platform/win32.h"
#include "tests/raster/raster_bytes.h"
#include "tests/support/child.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

using RasterPtr = orvo::TAutoRelease<IRaster>;

RasterPtr Open(const std::string& path, int32_t cache_mb = 1, bool read_only = false) {
  return RasterPtr(OpenRaster(path.c_str(), cache_mb, read_only));
}

uint16_t Pixel16(IRaster* r, int x, int y) {
  uint16_t v = 0xEEEE;
  EXPECT_TRUE(r->GetPixel(x, y, &v)) << x << "," << y;
  return v;
}

// 300 x 200 pixels of 2 bytes in two 256 x 256 tiles, the second mostly padding.
class RasterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("r.raster");
    ASSERT_TRUE(CreateRaster(path_.c_str(), 300, 200, 256, 256, 2, 0));
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(RasterTest, PixelsGoToTheirTileInTheFileAndBlocksClipToTheRaster) {
  {
    RasterPtr r = Open(path_);
    ASSERT_TRUE(r);
    uint16_t v = 0x1234;
    EXPECT_TRUE(r->SetPixel(299, 199, &v));
    v = 0x0102;
    EXPECT_TRUE(r->SetPixel(256, 0, &v));
    for (auto [x, y] : {std::pair{300, 0}, {0, 200}, {-1, 0}, {0, -1}}) {
      EXPECT_FALSE(r->GetPixel(x, y, &v));
      EXPECT_FALSE(r->SetPixel(x, y, &v));
    }
    EXPECT_FALSE(r->GetPixel(0, 0, nullptr));
    for (auto [tx, ty] : {std::pair{2, 0}, {0, 1}, {-1, 0}}) EXPECT_EQ(r->GetTile(tx, ty), nullptr);
    auto* tile = static_cast<uint16_t*>(r->GetTile(1, 0));
    ASSERT_NE(tile, nullptr);
    EXPECT_EQ(tile[199 * 256 + 43], 0x1234);
  }
  // Tile x at 264 + x * 131072.
  const std::string bytes = ReadFileBytes(path_);
  EXPECT_EQ(bytes.substr(264 + 131072, 2), "\x02\x01");
  EXPECT_EQ(bytes.substr(264 + 131072 + (199 * 256 + 43) * 2, 2), "\x34\x12");
  RasterPtr r = Open(path_, 1, true);
  ASSERT_TRUE(r);
  uint16_t v = 9;
  std::vector<uint16_t> block(4, 9);
  EXPECT_FALSE(r->SetPixel(299, 199, &v));
  EXPECT_FALSE(r->SetPixelBlock(298, 198, 2, 2, block.data()));
  EXPECT_EQ(Pixel16(r.Get(), 299, 199), 0x1234);
  EXPECT_EQ(Pixel16(r.Get(), 298, 198), 0);

  r = Open(path_);  // read-write again
  std::vector<uint16_t> src(20 * 3);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i + 1);
  ASSERT_TRUE(r->SetPixelBlock(246, 10, 20, 3, src.data()));
  EXPECT_EQ(Pixel16(r.Get(), 255, 10), 10);
  EXPECT_EQ(Pixel16(r.Get(), 256, 10), 11);
  EXPECT_EQ(Pixel16(r.Get(), 265, 12), 60);
  // x = -5, w = 10: buffer columns 5..9 come from raster columns 0..4.
  v = 7;
  for (int x = 0; x < 5; ++x) ASSERT_TRUE(r->SetPixel(x, 0, &v));
  std::vector<uint16_t> dst(10, 0xAAAA);
  ASSERT_TRUE(r->GetPixelBlock(-5, 0, 10, 1, dst.data()));
  EXPECT_EQ(dst, (std::vector<uint16_t>{0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 0xAAAA, 7, 7, 7, 7, 7}));
  // Past the right and bottom edges: nothing outside the raster is touched.
  std::vector<uint16_t> edge(4 * 4, 0xBBBB);
  ASSERT_TRUE(r->GetPixelBlock(298, 198, 4, 4, edge.data()));
  std::vector<uint16_t> want(16, 0xBBBB);
  want[0] = want[1] = want[4] = 0, want[5] = 0x1234;
  EXPECT_EQ(edge, want);

  const int32_t outside[][4] = {{300, 0, 5, 5}, {0, 200, 5, 5}, {-10, 0, 10, 5},   {0, -10, 5, 10},
                                {0, 0, 0, 5},   {0, 0, 5, -3},  {-5, -5, -10, -10}};
  for (auto [x, y, w, h] : outside) {
    EXPECT_FALSE(r->GetPixelBlock(x, y, w, h, dst.data())) << x << " " << y << " " << w << " " << h;
    EXPECT_FALSE(r->SetPixelBlock(x, y, w, h, dst.data()));
  }
  EXPECT_FALSE(r->GetPixelBlock(0, 0, 4, 4, nullptr));
}

// The holder writes 1 at (3, 4), creates args[0].held and writes until killed;
// the peer expects that 1 and writes 654 at (290, 150). Codes name the step.
ORVO_CHILD(raster_holder) {
  IRaster* r = OpenRaster(args.at(0).c_str(), 0, false);
  uint16_t v = 1;
  if (r == nullptr || !r->SetPixel(3, 4, &v)) return 2;
  std::FILE* f = std::fopen((args.at(0) + ".held").c_str(), "wb");
  if (f == nullptr || std::fclose(f) != 0) return 3;
  for (uint16_t i = 0;; ++i) r->SetPixel(i % 64, 10, &i);
}

ORVO_CHILD(raster_peer) {
  IRaster* r = OpenRaster(args.at(0).c_str(), 1, false);
  if (r == nullptr) return 1;
  uint16_t v = 0;
  int code = r->GetPixel(3, 4, &v) && v == 1 ? 0 : 2;
  v = 654;
  if (code == 0 && !r->SetPixel(290, 150, &v)) code = 3;
  r->Release();
  return code;
}

// The holder is killed: this process's opener goes on, a peer writes, a new opener sees all.
TEST_F(RasterTest, ProcessesShareTheFilePastTheDeathOfItsHolder) {
  PROCESS_INFORMATION holder{};
  ASSERT_TRUE(StartChild("raster_holder", {path_}, &holder));
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(path_ + ".held") && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  RasterPtr r = Open(path_);
  ASSERT_TRUE(r);
#ifdef _WIN32
  TerminateProcess(holder.hProcess, 9);
#else
  kill(static_cast<pid_t>(holder.dwProcessId), SIGKILL);
#endif
  WaitForSingleObject(holder.hProcess, INFINITE);
  CloseHandle(holder.hThread);
  CloseHandle(holder.hProcess);
  ASSERT_EQ(RunChild("raster_peer", {path_}), 0);
  EXPECT_EQ(Pixel16(r.Get(), 290, 150), 654);
  r.Reset();
  RasterPtr again = Open(path_, 0, true);
  ASSERT_TRUE(again);
  EXPECT_EQ(Pixel16(again.Get(), 290, 150), 654);
}

// Tiles raw, run-length, absent, of a bad method word, and a stream that comes out short.
TEST(VariableRaster, RawCompressedAndAbsentTiles) {
  TempDir dir;
  const std::string path = dir.File("v.raster");
  std::string raw;
  for (int i = 0; i < 16; ++i) raw.push_back(static_cast<char>(i));
  WriteFileBytes(path, VariableRaster(MakeHead(20, 4, 4, 4, 1),
                                      {raw, RleTile({{10, "a"}, {6, "b"}}), std::nullopt,
                                       RleTile({{16, "c"}}, 2), RleTile({{15, "d"}})}));
  RasterPtr r = Open(path);
  ASSERT_TRUE(r);
  auto tile1 = static_cast<const char*>(r->GetTile(1, 0));
  ASSERT_NE(tile1, nullptr);
  EXPECT_EQ(std::string(tile1, 16), "aaaaaaaaaabbbbbb");
  EXPECT_EQ(r->GetTile(2, 0), nullptr);
  char v = 0;
  ASSERT_TRUE(r->GetPixel(5, 2, &v));  // tile 1, pixel (1, 2): index 9
  EXPECT_EQ(v, 'a');
  EXPECT_FALSE(r->GetPixel(8, 0, &v));  // absent

  // A row across all five tiles: absent and undeliverable tiles stay as they were.
  std::string row(20, '.');
  ASSERT_TRUE(r->GetPixelBlock(0, 1, 20, 1, row.data()));
  EXPECT_EQ(row, std::string("\x04\x05\x06\x07", 4) + "aaaa" + std::string(12, '.'));

  // Writes to run-length tiles would be lost: refused, with the whole block.
  v = 'z';
  EXPECT_FALSE(r->SetPixel(5, 2, &v));
  EXPECT_FALSE(r->SetPixelBlock(2, 0, 4, 1, "zzzz"));
  EXPECT_TRUE(r->GetPixel(2, 0, &v));
  EXPECT_EQ(v, 2);
  EXPECT_TRUE(r->SetPixel(2, 0, &v));                  // raw tiles take writes
  EXPECT_FALSE(r->SetPixelBlock(8, 0, 4, 1, "zzzz"));  // absent only
}

// One 64-bit field of a valid file changed (or the file cut short): no open.
TEST(RasterDamage, BadHeadsAndTablesDoNotOpen) {
  TempDir dir;
  const std::string good = VariableRaster(
      MakeHead(8, 8, 4, 4, 1), std::vector<std::optional<std::string>>(4, std::string(16, 'x')));
  struct Case {
    const char* name;
    size_t offset;  // of the field changed; 0: the file is cut to `value` bytes
    int64_t value;
    const char* message;
  };
  const Case cases[] = {
      {"magic", 0, 0x5f72657473617252, "bad raster file format"},
      {"short file", 0, 200, "bad raster file format"},
      {"file size below head", 8, 100, "can't open raster file"},
      {"head size below 264", 16, 263, "can't open raster file"},
      {"zero width", 32, 0, "can't open raster file"},
      {"negative height", 40, -8, "can't open raster file"},
      {"zero pixel size", 64, 0, "can't open raster file"},
      {"width beyond 32 bits", 32, int64_t{1} << 40, "can't open raster file"},
      {"both offsets zero", 72, 0, "can't open raster file"},
      {"both offsets set", 80, 264, "can't open raster file"},
      {"table past the end", 72, 1 << 20, "can't open raster file"},
      {"table inside the head", 72, 8, "can't open raster file"},
  };
  // The message a TRaster raises on the file.
  const auto raised = [](const std::string& path) {
    return Raised([&] { orvo::TRaster r(path.c_str(), 1, true); });
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    if (std::string(c.name) == "short file")
      bytes.resize(static_cast<size_t>(c.value));
    else
      std::memcpy(bytes.data() + c.offset, &c.value, 8);
    std::string path = dir.File(std::string(c.name) + ".raster");
    WriteFileBytes(path, bytes);
    EXPECT_EQ(OpenRaster(path.c_str(), 1, false), nullptr) << c.name;
    EXPECT_EQ(raised(path), c.message) << c.name;
  }
  // Sizes whose tile grid overflows 64 bits.
  std::string huge = good;
  for (size_t f = 32; f <= 64; f += 8) {
    int64_t v = INT32_MAX;
    std::memcpy(huge.data() + f, &v, 8);
  }
  WriteFileBytes(dir.File("huge.raster"), huge);
  EXPECT_EQ(raised(dir.File("huge.raster")), "can't open raster file");
  EXPECT_EQ(raised(dir.File("missing.raster")), "can not create file view for raster");
}

// Heads claiming longer files, tile 1 past the real end: views stay inside the file, also
// for later openers that see only the mapping. A claim of nearly 2^63 bytes once overflowed
// the view arithmetic (found by fuzzing).
TEST(RasterDamage, TilesOutsideTheFileAreNotDelivered) {
  TempDir dir;
  const std::string good =
      VariableRaster(MakeHead(8, 4, 4, 4, 1), {std::string(16, 'x'), std::string(16, 'y')});
  struct Case {
    int64_t claimed, tile_offset;
    bool read_only;
  };
  const Case cases[] = {{1 << 30, static_cast<int64_t>(good.size()) + 65536 * 3, false},
                        {INT64_MAX - 5, int64_t{0x6000000000000000}, true}};
  for (const Case& c : cases) {
    std::string bytes = good;
    std::memcpy(bytes.data() + 8, &c.claimed, 8);
    std::memcpy(bytes.data() + 264 + 12, &c.tile_offset, 8);
    const std::string path = dir.File(std::to_string(c.claimed) + ".raster");
    WriteFileBytes(path, bytes);
    for (int32_t cache_mb : {0, 1}) {
      SCOPED_TRACE(testing::Message() << c.claimed << " cache " << cache_mb);
      RasterPtr first = Open(path, cache_mb, c.read_only);
      ASSERT_TRUE(first);
      EXPECT_NE(first->GetTile(0, 0), nullptr);
      EXPECT_EQ(first->GetTile(1, 0), nullptr);
      std::string block(8, '.');
      EXPECT_TRUE(first->GetPixelBlock(0, 0, 8, 1, block.data()));
      EXPECT_EQ(block, "xxxx....");
      RasterPtr later(first->Clone(true));
      if (!later) continue;
      EXPECT_EQ(later->GetTile(1, 0), nullptr);
      char pixel = 0;
      EXPECT_FALSE(later->GetPixel(5, 0, &pixel));
    }
  }

  // A fixed layout cut short: only the tiles before the end are delivered.
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

// A head-only fixed layout whose second tile row would end past INT32_MAX: every
// position reads as absent (found by fuzzing).
TEST(RasterDamage, TileRowReachingPastInt32MaxInAHeadOnlyFile) {
  TempDir dir;
  const int64_t tile_height = (int64_t{1} << 30) + 1, height = tile_height + 5;
  orvo::RASTERHEAD head = MakeHead(5, height, 4, tile_height, 1);
  head.data_offset = 264;
  head.file_size = 264;
  const std::string path = dir.File("tall.raster");
  WriteFileBytes(path, HeadBytes(head));
  RasterPtr r = Open(path, 0, true);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetHeight(), height);
  for (int32_t tile : {0, 1, 2, 3}) EXPECT_EQ(r->GetTile(tile % 2, tile / 2), nullptr) << tile;
  const int32_t last = static_cast<int32_t>(height - 1), second = static_cast<int32_t>(tile_height);
  const int32_t probes[][2] = {{0, 0}, {4, second - 1}, {0, second}, {4, last}, {4, last + 1}};
  for (const auto& p : probes) {
    char pixel = '.';
    EXPECT_FALSE(r->GetPixel(p[0], p[1], &pixel)) << p[0] << "," << p[1];
    EXPECT_EQ(pixel, '.');
  }
  std::string block(3 * 8, '.');
  EXPECT_FALSE(r->GetPixelBlock(3, last - 3, 3, 8, block.data()));
  EXPECT_FALSE(r->GetPixelBlock(0, second - 1, 3, 2, block.data()));
  EXPECT_EQ(block, std::string(3 * 8, '.'));
}

// A run-length stream too short to fill its tile is refused before the tile's buffer
// is made: a few hundred bytes could otherwise claim a tile of a petabyte.
TEST(RasterDamage, RunLengthTilesTooShortForTheirTileAreRefused) {
  TempDir dir;
  const int64_t side = int64_t{1} << 20, pixel = 1024;
  orvo::RASTERHEAD head = MakeHead(side, side, side, side, pixel);
  const std::string path = dir.File("huge.raster");
  WriteFileBytes(path, VariableRaster(head, {RleTile({{1, std::string(pixel, 'p')}})}));
  RasterPtr r = Open(path, 0);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetTile(0, 0), nullptr);
  std::string one(pixel, '.');
  EXPECT_FALSE(r->GetPixel(0, 0, one.data()));

  // The longest runs: a stream of two full runs fills exactly 131070 pixels.
  orvo::RASTERHEAD fits = MakeHead(131070, 1, 131070, 1, 1);
  const std::string full = dir.File("full.raster");
  WriteFileBytes(full, VariableRaster(fits, {RleTile({{65535, "a"}, {65535, "b"}})}));
  RasterPtr f = Open(full, 0);
  ASSERT_TRUE(f);
  const uint8_t* tile = static_cast<const uint8_t*>(f->GetTile(0, 0));
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile[65534], 'a');
  EXPECT_EQ(tile[131069], 'b');
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
  r.Reset();
  r = Open(path, 0, true);
  EXPECT_EQ(Pixel16(r.Get(), 65535, 40959), 0xBEEF);
  EXPECT_EQ(Pixel16(r.Get(), 0, 0), 0xBEEF);
}
#endif

// 3 x 2 tiles of tile_width x 5 2-byte pixels, edges cut short: tile 1 absent,
// tile 4 run-length, the rest raw holding 1000 * tile + index.
struct MixedTiles {
  static constexpr int kTileHeight = 5, kAcross = 3, kDown = 2;
  int tile_width, width, height;
  std::string path;

  MixedTiles(TempDir& dir, int tw)
      : tile_width(tw), width(kAcross * tw - 1), height(kDown * kTileHeight - 2) {
    std::vector<std::optional<std::string>> tiles;
    for (int t = 0; t < kAcross * kDown; ++t) {
      std::string raw;
      for (int i = 0; i < tile_width * kTileHeight; ++i) {
        const uint16_t v = static_cast<uint16_t>(1000 * t + i);
        raw.append(reinterpret_cast<const char*>(&v), 2);
      }
      if (t == 1) {
        tiles.push_back(std::nullopt);
      } else if (t == 4) {
        const uint16_t count = static_cast<uint16_t>(tile_width * kTileHeight);
        tiles.push_back(RleTile({{1, "ab"}, {static_cast<uint16_t>(count - 1), "cd"}}));
      } else {
        tiles.push_back(raw);
      }
    }
    path = dir.File("b" + std::to_string(tile_width) + ".raster");
    WriteFileBytes(path,
                   VariableRaster(MakeHead(width, height, tile_width, kTileHeight, 2), tiles));
  }
  bool Present(int x, int y) const { return (y / kTileHeight) * kAcross + x / tile_width != 1; }
};

// The DEM's 2 x 2 read gives what GetPixelBlock gives wherever it answers; the filled
// read is a fill then GetPixelBlock, also wholly outside and into a buffer at an odd
// address. Over tile widths of a power of two and not, all kinds of tiles and every edge.
TEST(RasterFastReads, AgreeWithGetPixelBlock) {
  TempDir dir;
  const uint8_t fill[2] = {0x0F, 0x27};
  for (const int tile_width : {4, 3}) {
    const MixedTiles m(dir, tile_width);
    orvo::TRaster r(m.path.c_str(), 1, true);
    int answered = 0;
    for (int y = -1; y <= m.height; ++y) {
      for (int x = -1; x <= m.width; ++x) {
        int16_t fast[4] = {7, 7, 7, 7}, slow[4] = {7, 7, 7, 7};
        const bool inside = x >= 0 && y >= 0 && x + 2 <= m.width && y + 2 <= m.height &&
                            x % tile_width + 2 <= tile_width &&
                            y % MixedTiles::kTileHeight + 2 <= MixedTiles::kTileHeight;
        const bool present = m.Present(x, y);
        SCOPED_TRACE(testing::Message() << tile_width << ": " << x << ", " << y);
        ASSERT_EQ(r.Block2x2(x, y, fast), inside && present);
        if (!inside || !present) {
          EXPECT_EQ(std::vector<int16_t>(fast, fast + 4), std::vector<int16_t>(4, 7));
          continue;
        }
        ++answered;
        ASSERT_TRUE(r.GetPixelBlock(x, y, 2, 2, slow));
        EXPECT_EQ(std::vector<int16_t>(fast, fast + 4), std::vector<int16_t>(slow, slow + 4));
      }
    }
    EXPECT_GT(answered, 10);

    for (const int w : {1, 2, 5, m.width + 3}) {
      for (const int h : {1, 3, m.height + 2}) {
        for (int y = -h - 1; y <= m.height; y += 2) {
          for (int x = -w - 1; x <= m.width; x += 2) {
            SCOPED_TRACE(testing::Message()
                         << tile_width << ": " << x << ", " << y << " " << w << " x " << h);
            const size_t bytes = static_cast<size_t>(w) * h * 2;
            std::vector<uint8_t> expected(bytes), got(bytes + 1, 0x55);
            for (size_t i = 0; i < bytes; i += 2) std::memcpy(&expected[i], fill, 2);
            const bool read = r.GetPixelBlock(x, y, w, h, expected.data());
            ASSERT_EQ(r.GetPixelBlockFilled(x, y, w, h, got.data() + 1, fill), read);
            ASSERT_EQ(std::vector<uint8_t>(got.begin() + 1, got.end()), expected);
            ASSERT_EQ(got[0], 0x55);
          }
        }
      }
    }
    uint16_t pixel = 0;
    EXPECT_FALSE(r.GetPixelBlockFilled(0, 0, 1, 1, &pixel, nullptr));
    EXPECT_FALSE(r.GetPixelBlockFilled(tile_width, 0, 1, 1, &pixel, fill));  // absent tile
    EXPECT_EQ(pixel, 0x270F);
  }
}

}  // namespace
}  // namespace orvotest
