// Tests of the selection: the set, its file and the token rules of loading.
#include "vector/selection.h"

#include <climits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using orvo::TSelection;

std::vector<int32_t> Ids(const TSelection& s) { return {s.Ids().begin(), s.Ids().end()}; }

std::string Raised(TSelection& s, void (TSelection::*op)(const char*), const std::string& name) {
  try {
    (s.*op)(name.c_str());
  } catch (const char* message) {
    return message;
  }
  return "";
}

TEST(Selection, SetOperations) {
  TSelection s;
  EXPECT_FALSE(s.Find(0));
  EXPECT_TRUE(s.Add(7));
  EXPECT_FALSE(s.Add(7));
  EXPECT_TRUE(s.Add(-3));
  EXPECT_TRUE(s.Find(7));
  EXPECT_TRUE(s.Erase(7));
  EXPECT_FALSE(s.Erase(7));
  EXPECT_FALSE(s.Find(7));
  EXPECT_EQ(s.Count(), 1);
  s.Clear();
  EXPECT_EQ(s.Count(), 0);
}

TEST(Selection, SaveWritesEachIdOnceAscendingWithCrLf) {
  orvotest::TempDir dir;
  TSelection s;
  for (int32_t id : {12, -5, 3, 12, INT32_MIN, INT32_MAX}) s.Add(id);
  s.Save(dir.File("sel.txt").c_str());
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("sel.txt")),
            "-2147483648\r\n-5\r\n3\r\n12\r\n2147483647\r\n");
  TSelection back;
  back.Load(dir.File("sel.txt").c_str());
  EXPECT_EQ(Ids(back), Ids(s));

  // An empty selection writes an empty file, replacing the old one.
  TSelection empty;
  empty.Save(dir.File("sel.txt").c_str());
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("sel.txt")), "");
  back.Clear();
  back.Load(dir.File("sel.txt").c_str());
  EXPECT_EQ(back.Count(), 0);

  EXPECT_EQ(Raised(s, &TSelection::Load, dir.File("missing.txt")), "can't open file");
  TSelection cannot;
  cannot.Add(1);
  std::string out = dir.File("no/such/dir/sel.txt");
  try {
    cannot.Save(out.c_str());
    ADD_FAILURE() << "saved into a missing directory";
  } catch (const char* message) {
    EXPECT_STREQ(message, "can't write selection");
  }
}

TEST(Selection, LoadTakesTheFirstTokenOfEachLine) {
  orvotest::TempDir dir;
  orvotest::WriteFileBytes(dir.File("in.txt"),
                           "12.7\n"          // '.' delimits: 12
                           "5,6,7\r\n"       // first token only: 5
                           "abc\r"           // no digits: 0
                           "\t 42 x\n"       // tab skipped, blank kept, atoi: 42
                           ";9\n"            // leading delimiter skipped: 9
                           "\n\r\n"          // empty lines
                           ".,;\t\n"         // no token
                           "  -3 \n"         // -3
                           "+8\n"            // 8
                           "99999999999\n"   // saturates
                           "-99999999999");  // last line without a line end
  TSelection s;
  s.Add(1000);
  s.Load(dir.File("in.txt").c_str());
  std::vector<int32_t> want = {INT32_MIN, -3, 0, 5, 8, 9, 12, 42, 1000, INT32_MAX};
  EXPECT_EQ(Ids(s), want);
}

TEST(Selection, LongLinesArePieces) {
  orvotest::TempDir dir;
  // 2047 characters: blanks then "77"; the rest of the line, "88", comes as
  // a line of its own.
  std::string line = std::string(2045, ' ') + "7788\r\n";
  orvotest::WriteFileBytes(dir.File("long.txt"), line);
  TSelection s;
  s.Load(dir.File("long.txt").c_str());
  std::vector<int32_t> want = {77, 88};
  EXPECT_EQ(Ids(s), want);
}

}  // namespace

namespace {

TEST(SelectionDamage, BinaryGarbageLoadsWithoutCrashing) {
  orvotest::TempDir dir;
  std::string bytes;
  uint32_t seed = 99;
  for (int i = 0; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes += static_cast<char>(seed >> 24);
  }
  orvotest::WriteFileBytes(dir.File("junk.sel"), bytes);
  orvo::TSelection s;
  s.Load(dir.File("junk.sel").c_str());
  EXPECT_GT(s.Count(), 0);
}

}  // namespace
