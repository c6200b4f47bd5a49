// Tests of the selection: the set, its file and the token rules of loading.
#include "vector/selection.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::TSelection;

std::vector<int32_t> Ids(const TSelection& s) { return {s.Ids().begin(), s.Ids().end()}; }

using orvotest::Raised;

TEST(Selection, SaveWritesEachIdOnceAscendingWithCrLf) {
  orvotest::TempDir dir;
  TSelection s;
  for (int32_t id : {12, -5, 3, 12, INT32_MIN, INT32_MAX}) s.Add(id);
  EXPECT_FALSE(s.Add(3));
  EXPECT_TRUE(s.Erase(3));
  EXPECT_FALSE(s.Erase(3));
  s.Save(dir.File("sel.txt").c_str());
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("sel.txt")),
            "-2147483648\r\n-5\r\n12\r\n2147483647\r\n");
  TSelection back;
  back.Load(dir.File("sel.txt").c_str());
  EXPECT_EQ(Ids(back), Ids(s));
  // An empty selection writes an empty file, replacing the old one.
  back.Clear();
  back.Save(dir.File("sel.txt").c_str());
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("sel.txt")), "");

  EXPECT_EQ(Raised([&] { s.Load(dir.File("missing.txt").c_str()); }), "can't open file");
  EXPECT_EQ(Raised([&] { s.Save(dir.File("no/dir/sel.txt").c_str()); }), "can't write selection");
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
                           "+8\n"            // 8
                           "99999999999\n"   // saturates
                           "-99999999999\n"  // saturates
                               + std::string(2045, ' ') + "7788");  // cut at 2047: 77 and 88
  TSelection s;
  s.Add(1000);
  s.Load(dir.File("in.txt").c_str());
  std::vector<int32_t> want = {INT32_MIN, 0, 5, 8, 9, 12, 42, 77, 88, 1000, INT32_MAX};
  EXPECT_EQ(Ids(s), want);

  // Binary garbage loads without crashing.
  std::string bytes;
  for (uint32_t i = 0, seed = 99; i < 5000; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes += static_cast<char>(seed >> 24);
  }
  orvotest::WriteFileBytes(dir.File("junk.sel"), bytes);
  s.Clear();
  s.Load(dir.File("junk.sel").c_str());
  EXPECT_GT(s.Count(), 0);
}

}  // namespace
