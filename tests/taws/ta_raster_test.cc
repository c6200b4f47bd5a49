// Tile sets as rasters: pixels, holes, overlaps, writes, read-only sets, exports.
#include "taws/ta_raster.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "base/holders.h"
#include "orvoapi.h"
#include "tests/support/temp_dir.h"
#include "tests/taws/taws_files.h"

// The C host of the tile set (ta_raster_c_test.c): 0, or the line of the failed check.
extern "C" int OrvoCTaRasterSlots(const char* list_name);

namespace orvotest {
namespace {

constexpr int32_t kN = 4;  // samples a raster tile side; tile files have 5

// The list of the tiles of 30..32 E, 59..61 N that the mask keeps, Marked samples.
std::string MakeSet(const TempDir& dir, unsigned mask = 0xF) {
  std::vector<std::string> lines{"tile list of the test"};
  const int32_t cells[4][2] = {{30, 59}, {31, 59}, {30, 60}, {31, 60}};
  for (int i = 0; i < 4; ++i) {
    if (!(mask & (1u << i))) continue;
    const int32_t lon = cells[i][0], lat = cells[i][1];
    MakeTile(dir.path(), lon, lat, kN,
             [&](int32_t r, int32_t c) { return Marked(lon, lat, r, c); });
    lines.push_back(TileRecord(i + 1, lon, lat));
  }
  return WriteList(dir, lines);
}

int16_t Pixel(IRaster* r, int32_t x, int32_t y) {
  int16_t v = -1;
  EXPECT_TRUE(r->GetPixel(x, y, &v)) << x << ", " << y;
  return v;
}

using RasterPtr = orvo::TAutoRelease<IRaster>;

// Raster tile (tx, ty) is rows and columns 0..N-1 of its file, row 0 north.
TEST(TaRaster, PixelsComeFromTheirTileFiles) {
  TempDir dir;
  RasterPtr r(OpenTawsesRaster(MakeSet(dir).c_str(), true));
  ASSERT_TRUE(r);
  ASSERT_EQ((std::array{r->GetWidth(), r->GetHeight(), r->GetTileWidth(), r->GetTileHeight(),
                        r->GetPixelSize()}),
            (std::array{2 * kN, 2 * kN, kN, kN, 2}));
  EXPECT_EQ(Pixel(r.Get(), 5, 2), Marked(31, 60, 2, 1));  // row 0 north: the cell 31 E, 60 N
  int16_t v;
  EXPECT_FALSE(r->GetPixel(8, 0, &v));
  EXPECT_FALSE(r->GetPixel(0, -1, &v));
  std::vector<int16_t> block(2 * kN * 2 * kN, -1);
  ASSERT_TRUE(r->GetPixelBlock(0, 0, 2 * kN, 2 * kN, block.data()));
  for (int32_t y = 0; y < 2 * kN; ++y)
    for (int32_t x = 0; x < 2 * kN; ++x)
      ASSERT_EQ(block[y * 2 * kN + x], Marked(30 + x / kN, 60 - y / kN, y % kN, x % kN));
  const auto* tile = static_cast<const int16_t*>(r->GetTile(1, 1));
  ASSERT_NE(tile, nullptr);
  EXPECT_EQ(tile[kN * kN - 1], Marked(31, 59, 3, 3));
  EXPECT_EQ(r->GetTile(2, 0), nullptr);
  EXPECT_EQ(r->GetTile(0, -1), nullptr);
}

// A hole is an absent tile; the later of overlapping entries takes the cell; a
// file of another grid is an absent tile, not a read past its end.
TEST(TaRaster, HolesOverlapsAndForeignGrids) {
  TempDir dir, other;
  RasterPtr r(OpenTawsesRaster(MakeSet(dir, 0x7).c_str(), true));  // no 31 E, 60 N
  ASSERT_TRUE(r);
  int16_t v = 123;
  EXPECT_FALSE(r->GetPixel(kN, 0, &v));
  EXPECT_EQ(v, 123);
  std::vector<int16_t> block(4, 555);
  EXPECT_TRUE(r->GetPixelBlock(kN - 1, 0, 2, 2, block.data()));
  EXPECT_EQ(block, (std::vector<int16_t>{Marked(30, 60, 0, 3), 555, Marked(30, 60, 1, 3), 555}));
  EXPECT_FALSE(r->GetPixelBlock(kN, 0, 2, 2, block.data()));  // only the hole

  for (int32_t lon : {30, 31, 32})
    MakeTile(other.path(), lon, 59, lon == 32 ? 2 : kN,
             [lon](int32_t, int32_t) { return lon - 29; });
  const std::string list =
      WriteList(other, {TileRecord(1, 30, 59), TileRecord(2, 31, 59), TileRecord(3, 32, 59),
                        "4, 30.5, 59.5, 31.5, 60.5, E031N60.taws"});
  r = RasterPtr(OpenTawsesRaster(list.c_str(), true));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->GetWidth(), 3 * kN);
  EXPECT_EQ(r->GetHeight(), kN);  // 59..60.5 with the south edge rounded up: one row
  EXPECT_EQ(Pixel(r.Get(), 0, 0), 2);
  EXPECT_FALSE(r->GetPixel(2 * kN, 0, &v));
}

TEST(TaRaster, WritesReachTheTileFiles) {
  TempDir dir;
  const std::string list = MakeSet(dir);
  const std::string north_west = dir.File("E030N61.taws");
  RasterPtr r(OpenTawsesRaster(list.c_str(), false));
  ASSERT_TRUE(r);
  const int16_t v = -7;
  ASSERT_TRUE(r->SetPixel(1, 2, &v));
  std::vector<int16_t> whole(kN * kN);
  ASSERT_TRUE(r->GetPixelBlock(0, 0, kN, kN, whole.data()));
  EXPECT_EQ(whole[2 * kN + 1], -7) << "a whole-tile read sees the cached tile's change";
  ASSERT_NE(r->GetTile(1, 0), nullptr);  // fetching another tile writes the first back
  std::string bytes = ReadFileBytes(north_west);
  EXPECT_EQ(FieldAt<int16_t>(bytes, 140 + (2 * (kN + 1) + 1) * 2), -7);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 132), -7);  // the head's minimum follows
  // A block over all four tiles, then the release: nothing is lost.
  std::vector<int16_t> block(4, 42);
  ASSERT_TRUE(r->SetPixelBlock(kN - 1, kN - 1, 2, 2, block.data()));
  r.Reset();
  EXPECT_EQ(FieldAt<int16_t>(ReadFileBytes(dir.File("E031N60.taws")), 140), 42)
      << "the last tile is written back on release";
  RasterPtr again(OpenTawsesRaster(list.c_str(), true));
  EXPECT_EQ(Pixel(again.Get(), kN, kN), 42);
  EXPECT_EQ(Pixel(again.Get(), kN - 1, kN - 1), 42);
  // The shared last row and column of a file are not the raster's.
  bytes = ReadFileBytes(dir.File("E030N61.taws"));
  EXPECT_EQ(FieldAt<int16_t>(bytes, 140 + (kN * (kN + 1) + kN) * 2), Marked(30, 60, kN, kN));
  // SaveTile writes at once.
  again.Reset();
  RasterPtr w(OpenTawsesRaster(list.c_str(), false));
  const int16_t saved = 31;
  ASSERT_TRUE(w->SetPixel(0, 0, &saved));
  EXPECT_TRUE(static_cast<ITaRaster*>(w.Get())->SaveTile());
  EXPECT_EQ(FieldAt<int16_t>(ReadFileBytes(north_west), 140), 31);
}

TEST(TaRaster, ReadOnlySetChangesNothing) {
  TempDir dir;
  const std::string list = MakeSet(dir);
  // Stale heads: a reader must not mend them.
  const char* const names[] = {"E030N61.taws", "E031N61.taws", "E030N60.taws", "E031N60.taws"};
  std::string before[4];
  for (int i = 0; i < 4; ++i) {
    before[i] = ReadFileBytes(dir.File(names[i]));
    before[i][132] = 1;
    WriteFileBytes(dir.File(names[i]), before[i]);
  }
  {
    RasterPtr r(OpenTawsesRaster(list.c_str(), true));
    ASSERT_TRUE(r);
    const int16_t v = 5;
    EXPECT_FALSE(r->SetPixel(0, 0, &v));
    std::vector<int16_t> block(4, 5);
    EXPECT_FALSE(r->SetPixelBlock(0, 0, 2, 2, block.data()));
    EXPECT_NE(Pixel(r.Get(), 0, 0), 5);
    for (int32_t ty = 0; ty < 2; ++ty)
      for (int32_t tx = 0; tx < 2; ++tx) EXPECT_NE(r->GetTile(tx, ty), nullptr);
    EXPECT_TRUE(static_cast<ITaRaster*>(r.Get())->SaveTile());
    RasterPtr clone(r->Clone(true));
    ASSERT_TRUE(clone);
    EXPECT_EQ(Pixel(clone.Get(), 7, 7), Marked(31, 59, 3, 3));
  }
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadFileBytes(dir.File(names[i])), before[i]) << names[i];
}

TEST(TaRaster, ListsThatDoNotOpenHeadsAndBounds) {
  TempDir dir;
  EXPECT_EQ(OpenTawsesRaster(nullptr, true), nullptr);
  EXPECT_EQ(OpenTawsesRaster(dir.File("missing").c_str(), true), nullptr);
  MakeTile(dir.path(), 30, 59, kN, [](int32_t, int32_t) { return 1; });
  // No record, a first tile that is not there, no whole tile spanned, too wide a raster.
  for (const std::string& line : {std::string("no record"), TileRecord(1, 31, 59),
                                  std::string("1, 30.2, 59, 30.9, 60, E030N60.taws"),
                                  std::string("1, -1e30, 59, 1e30, 60, E030N60.taws")})
    EXPECT_EQ(OpenTawsesRaster(WriteList(dir, {line}).c_str(), true), nullptr) << line;
  EXPECT_EQ(LoadTawsTransform(dir.File("missing").c_str()), nullptr);
  EXPECT_FALSE(WriteTawsesBound(dir.File("missing").c_str()));
  EXPECT_EQ(ReadRasterHeadEx(dir.File("missing").c_str(), nullptr, 264), 0);

  TempDir other;
  const std::string list = MakeSet(other);
  std::string head(300, '\xAB');
  EXPECT_EQ(ReadRasterHeadEx(list.c_str(), head.data(), 263), 0);
  ASSERT_EQ(ReadRasterHeadEx(list.c_str(), head.data(), 300), 264);
  EXPECT_EQ(head.substr(0, 8), "_raster_");
  // Sizes of file and head, 100, the raster's sizes, no data offset, the table after the head.
  const int64_t fields[] = {kN * kN * 2 * 4 + 264, 264, 100, 2 * kN, 2 * kN, kN, kN, 2, 0, 264};
  for (size_t i = 0; i < std::size(fields); ++i)
    EXPECT_EQ(FieldAt<int64_t>(head, 8 + 8 * i), fields[i]) << "at " << 8 + 8 * i;
  EXPECT_EQ(head.substr(88, 49), std::string(49, '\0'));
  EXPECT_EQ(head.substr(137), std::string(300 - 137, '\xAB'));

  const std::string raster = other.File("plain.raster");
  ASSERT_TRUE(CreateRaster(raster.c_str(), 10, 10, 8, 8, 1, 0));
  std::string a(264, '\0'), b(264, '\0');
  EXPECT_EQ(ReadRasterHeadEx(raster.c_str(), a.data(), 264), 264);
  EXPECT_EQ(ReadRasterHead(raster.c_str(), b.data(), 264), 264);
  EXPECT_EQ(a, b);

  ASSERT_TRUE(WriteTawsesBound(list.c_str()));
  const BOUND bound{30, 59, 32, 61};
  const std::string expected = other.File("expected.corners");
  ASSERT_TRUE(WriteRasterBound(expected.c_str(), 2 * kN, 2 * kN, &bound));
  EXPECT_EQ(ReadFileBytes(list + ".corners"), ReadFileBytes(expected));
}

TEST(TaRaster, CHostCallsTheSetSlots) {
  TempDir dir;
  EXPECT_EQ(OrvoCTaRasterSlots(MakeSet(dir).c_str()), 0);
}

}  // namespace
}  // namespace orvotest
