// Tile lists: the record form as the C runtime reads it (without its
// locale), corner order, names, line ends, and files that are no list.
#include "taws/map_database.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/taws/taws_files.h"

namespace orvotest {
namespace {

TEST(TileRecord, Fields) {
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
      {"0, 0, 0, 1, 1, a", 0, 0, 0, 1, 1, "a", ""},
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
}

TEST(TileRecord, LinesThatAreNoRecords) {
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

TEST(TileRecord, IndependentOfTheCLocale) {
  const std::string old = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
  auto e = orvo::ParseTileRecord("1, 30.5, 59.25, 31, 60, a");
  std::setlocale(LC_ALL, old.c_str());
  ASSERT_TRUE(e);
  EXPECT_EQ(e->bound.minx, 30.5);
  EXPECT_EQ(e->bound.miny, 59.25);
}

TEST(MapDatabase, EveryLineEndReadsTheSame) {
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    TempDir dir;
    const std::string list =
        WriteList(dir, {"tiles of the test", TileRecord(1, 30, 59), TileRecord(2, 31, 59)}, eol);
    orvo::TMapDatabase db;
    ASSERT_TRUE(db.Load(list.c_str()));
    ASSERT_EQ(db.Count(), 2) << "line end " << static_cast<int>(eol[0]);
    EXPECT_EQ(db.Entry(1).id, 2);
    EXPECT_EQ(db.Entry(1).file_name, "E031N60.taws");
    EXPECT_EQ(db.FilePath(0), dir.File("E030N60.taws"));
  }
}

TEST(MapDatabase, NamesWithAFolderStayAsGiven) {
  TempDir dir;
  const std::string list = WriteList(dir, {"1, 30, 59, 31, 60, /elsewhere/a.taws",
                                           "2, 30, 59, 31, 60, d:b.taws", "3, 0, 0, 1, 1, c"});
  orvo::TMapDatabase db;
  ASSERT_TRUE(db.Load(list.c_str()));
  ASSERT_EQ(db.Count(), 3);
  EXPECT_EQ(db.FilePath(0), "/elsewhere/a.taws");
  EXPECT_EQ(db.FilePath(1), "d:b.taws");
  EXPECT_EQ(db.FilePath(2), dir.File("c"));
}

// More than 100 lines without a record: the file is no list.
TEST(MapDatabase, HundredLinesWithoutRecord) {
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
}

// Lines longer than 1023 characters are read in pieces; a binary file with
// no line ends is given up after 101 pieces.
TEST(MapDatabase, LongLinesAndBinaryFiles) {
  TempDir dir;
  orvo::TMapDatabase db;
  const std::string list = WriteList(dir, {std::string(1023, 'x') + TileRecord(1, 30, 59)});
  ASSERT_TRUE(db.Load(list.c_str()));
  EXPECT_EQ(db.Count(), 1);

  WriteFileBytes(dir.File("blob"), std::string(1023 * 101, 'y') + TileRecord(1, 30, 59));
  ASSERT_TRUE(db.Load(dir.File("blob").c_str()));
  EXPECT_EQ(db.Count(), 0);
  EXPECT_FALSE(db.Load(dir.File("missing").c_str()));
}

}  // namespace
}  // namespace orvotest
