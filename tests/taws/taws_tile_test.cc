// Tile files (names, heads, damage) and tile lists (records, line ends, no lists).
#include "taws/taws_tile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <iterator>
#include <string>

#include "taws/map_database.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "tests/taws/taws_files.h"

namespace orvotest {
namespace {

TEST(TawsTile, NamesCarryTheWesternAndNorthernEdgeAndHeadsTheExtremesOnClose) {
  EXPECT_EQ(orvo::TawsTileName("d", 30, 59), "d\\E030N60.taws");
  EXPECT_EQ(orvo::TawsTileName("d", -1, -1), "d\\W001N00.taws");
  EXPECT_EQ(orvo::TawsTileName("d", -180, -3), "d\\W180S02.taws");
  EXPECT_EQ(orvo::TawsTileName("d", 179, 89), "d\\E179N90.taws");

  TempDir dir;
  std::string path;
  {
    orvo::TTawsMap tile(dir.path().c_str(), 30, 59, 2);
    path = NativePath(tile.Path());
    const int16_t samples[] = {100, 9998, 9999, 10000};  // 9998: height 0; above: none
    std::copy(std::begin(samples), std::end(samples), tile.MutableGrid());
  }
  std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 132), 0);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 136), 100);
  {
    orvo::TTawsMap tile(path.c_str(), 0, 0, 0);
    EXPECT_EQ(tile.MinHeight(), 0);
    EXPECT_EQ(tile.MaxHeight(), 100);
    tile.MutableGrid()[8] = -12;
  }
  bytes = ReadFileBytes(path);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 132), -12);
  EXPECT_EQ(bytes.size(), 140u + 9 * 2);  // cut to the tile, not to the mapping's growth step
  // Created read-only, an existing tile is opened as it is: a stale head stays.
  bytes[132] = 77;
  WriteFileBytes(path, bytes);
  { orvo::TTawsMap tile(dir.path().c_str(), 30, 59, 2, /*read_only=*/true); }
  EXPECT_EQ(ReadFileBytes(path), bytes);
}

// Every damaged head is refused as "wrong file format", a missing or empty tile as
// "Can't open file"; the file is left as it was (or not made).
TEST(TawsTile, MissingEmptyAndDamagedTiles) {
  struct Damage {
    const char* what;
    size_t offset;
    int32_t value;
    int64_t cut = -1;  // new length, or -1
  };
  const Damage damages[] = {
      {"size field differs from the length", 36, 140 + 9 * 2 + 2},
      {"grid of 1 sample", 124, 1},
      {"rows differ from columns", 128, 2},
      {"grid larger than the file", 36, 156, 156},
      {"south not below north", 80, 216000},
      {"east not beyond west", 84, 108000},
      {"latitude beyond the pole", 72, 91 * 3600},
      {"file shorter than a head", 36, 100, 100},
  };
  TempDir dir;
  const std::string path = MakeTile(dir.path(), 30, 59, 2, [](int32_t, int32_t) { return 1; });
  const std::string good = ReadFileBytes(path);
  for (const Damage& d : damages) {
    std::string bytes = good;
    if (d.cut >= 0) bytes.resize(static_cast<size_t>(d.cut));
    std::memcpy(&bytes[d.offset], &d.value, 4);
    WriteFileBytes(path, bytes);
    EXPECT_EQ(Raised([&] { orvo::TTawsMap t(path.c_str(), 0, 0, 0); }), "wrong file format")
        << d.what;
    EXPECT_EQ(ReadFileBytes(path), bytes) << d.what;
  }
  std::filesystem::remove(path);
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(path.c_str(), 0, 0, 0); }), "Can't open file");
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(dir.path().c_str(), 30, 59, 4, true); }),
            "Can't open file");
  EXPECT_FALSE(std::filesystem::exists(path));
  WriteFileBytes(path, "");
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(path.c_str(), 0, 0, 0); }), "Can't open file");
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
}

TEST(TileRecord, FieldsAndLinesThatAreNoRecords) {
  struct Case {
    const char* line;
    int32_t id;
    double minx, miny, maxx, maxy;
    const char *name, *second;
  };
  const Case cases[] = {
      {"1, 30, 59, 31, 60, E030N60.taws", 1, 30, 59, 31, 60, "E030N60.taws", ""},
      // Opposite corners in the other order, blanks around the names.
      {"7,31,60,30,59,\ta.taws , second\r\n", 7, 30, 59, 31, 60, "a.taws", "second"},
      // Places read as 32-bit floats (30.1 is not 30.1f), ids as %i.
      {"  -2, 30.1, -59.5e0, +31, 0x3Cp0, b", -2, 30.1f, -59.5, 31, 60, "b", ""},
      {"0x10, 0, 0, 1, 1, a", 16, 0, 0, 1, 1, "a", ""},
      {"010, 0, 0, 1, 1, a", 8, 0, 0, 1, 1, "a", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    auto e = orvo::ParseTileRecord(c.line);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->id, c.id);
    EXPECT_EQ((std::array{e->bound.minx, e->bound.miny, e->bound.maxx, e->bound.maxy}),
              (std::array{c.minx, c.miny, c.maxx, c.maxy}));
    EXPECT_EQ(e->file_name, c.name);
    EXPECT_EQ(e->second_name, c.second);
  }
  for (const char* line : {
           "",
           "id, x1, y1, x2, y2, name",
           "1, 30, 59, 31, 60",       // no file name
           "1, 30, 59, 31, 60, , ",   // empty file name
           "1 , 30, 59, 31, 60, a",   // the comma must follow the number
           "1, 30, 59, 31, a.taws",   // four numbers
           "1, 30, 59, 31, nan, a",   // no place
           "1, 30, 59, 31, 1e39, a",  // beyond a float
           "1; 30; 59; 31; 60; a",
       })
    EXPECT_FALSE(orvo::ParseTileRecord(line)) << line;
}

TEST(MapDatabase, LineEndsLongLinesAndTheHundredLinesBeforeARecord) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    TempDir dir;
    const std::string list = WriteList(
        dir,
        {"tiles of the test", TileRecord(1, 30, 59), "2, 30, 59, 31, 60, /elsewhere/a.taws",
         "3, 30, 59, 31, 60, d:b.taws", TileRecord(4, 31, 59)},
        eol);
    orvo::TMapDatabase db;
    ASSERT_TRUE(db.Load(list.c_str()));
    ASSERT_EQ(db.Count(), 4) << "line end " << static_cast<int>(eol[0]);
    EXPECT_EQ(db.Entry(3).id, 4);
    EXPECT_EQ(db.Entry(3).file_name, "E031N60.taws");
    EXPECT_EQ(db.FilePath(0), dir.File("E030N60.taws"));
    EXPECT_EQ(db.FilePath(1), "/elsewhere/a.taws");
    EXPECT_EQ(db.FilePath(2), "d:b.taws");
  }

  // Over 100 lines without a record make no list; long lines are read in pieces of
  // 1023, a binary file given up after 101.
  TempDir dir;
  std::vector<std::string> lines(100, "# comment");
  lines.push_back(TileRecord(1, 30, 59));
  orvo::TMapDatabase db;
  ASSERT_TRUE(db.Load(WriteList(dir, lines).c_str()));
  EXPECT_EQ(db.Count(), 1) << "the 101st line may still be the first record";
  lines.insert(lines.begin(), "# one more");
  ASSERT_TRUE(db.Load(WriteList(dir, lines).c_str()));
  EXPECT_EQ(db.Count(), 0);

  // After a record, any number of other lines may follow.
  std::vector<std::string> late(1, TileRecord(1, 30, 59));
  late.insert(late.end(), 200, "");
  late.push_back(TileRecord(2, 31, 59));
  ASSERT_TRUE(db.Load(WriteList(dir, late).c_str()));
  EXPECT_EQ(db.Count(), 2);

  ASSERT_TRUE(db.Load(WriteList(dir, {std::string(1023, 'x') + TileRecord(1, 30, 59)}).c_str()));
  EXPECT_EQ(db.Count(), 1);
  WriteFileBytes(dir.File("blob"), std::string(1023 * 101, 'y') + TileRecord(1, 30, 59));
  ASSERT_TRUE(db.Load(dir.File("blob").c_str()));
  EXPECT_EQ(db.Count(), 0);
  EXPECT_FALSE(db.Load(dir.File("missing").c_str()));
}

}  // namespace
}  // namespace orvotest
