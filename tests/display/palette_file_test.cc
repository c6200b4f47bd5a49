// Palette and histogram files: exact bytes, round trips, damaged files, and
// saves that cannot complete.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

std::string Le64(int64_t v) {
  std::string s(8, '\0');
  for (int i = 0; i < 8; ++i) s[i] = static_cast<char>(static_cast<uint64_t>(v) >> (8 * i));
  return s;
}

std::string PaletteBytes(int64_t size_field, int64_t count, const std::string& triples) {
  return "palette_" + Le64(size_field) + Le64(count) + triples;
}

// A histogram file of (value, count) records.
std::string HistogramBytes(const std::vector<std::pair<uint16_t, int64_t>>& records) {
  std::string s = "_hstgrmm" + Le64(20 + 10 * static_cast<int64_t>(records.size()));
  s += std::string("\x02\0\0\0", 4);
  for (auto [value, count] : records) {
    s += static_cast<char>(value & 0xFF);
    s += static_cast<char>(value >> 8);
    s += Le64(count);
  }
  return s;
}

class PaletteFile : public ::testing::Test {
 protected:
  Released<IPalette> Load(const std::string& bytes) {
    std::string path = dir_.File("p.pal");
    WriteFileBytes(path, bytes);
    return Released<IPalette>(LoadPalette(path.c_str()));
  }
  TempDir dir_;
};

TEST_F(PaletteFile, SavesExactBytesAndLoadsThemBack) {
  const uint8_t rgb[6] = {1, 2, 3, 250, 251, 252};
  std::string path = dir_.File("two.pal");
  ASSERT_TRUE(SavePaletteRgb(path.c_str(), rgb, 2));
  EXPECT_EQ(ReadFileBytes(path), PaletteBytes(30, 2, "\x01\x02\x03\xFA\xFB\xFC"));

  Released<IPalette> loaded(LoadPalette(path.c_str()));
  ASSERT_NE(loaded, nullptr);
  ASSERT_EQ(loaded->GetCount(), 2);
  uint8_t back[3];
  ASSERT_TRUE(loaded->GetColor(back, 1));
  EXPECT_EQ(std::vector<uint8_t>(back, back + 3), (std::vector<uint8_t>{250, 251, 252}));

  std::string again = dir_.File("again.pal");
  ASSERT_TRUE(SavePalette(again.c_str(), loaded.get()));
  EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(path));
  Released<IPalette> same(DemHistogramm2Palette(path.c_str()));
  ASSERT_NE(same, nullptr);
  EXPECT_EQ(same->GetCount(), 2);
}

TEST_F(PaletteFile, HeadsAndCountsAreChecked) {
  struct Case {
    const char* what;
    std::string bytes;
    int32_t count;  // -1: refused
  };
  const std::string three = "abcdefghi";
  const Case cases[] = {
      {"count 0", PaletteBytes(24, 0, ""), 0},
      {"more triples than the count", PaletteBytes(33, 2, three), 2},
      {"size field not the length", PaletteBytes(32, 3, three), -1},
      {"fewer triples than the count", PaletteBytes(33, 4, three), -1},
      {"count 65537", PaletteBytes(33, 65537, three), -1},
      {"negative count", PaletteBytes(33, -1, three), -1},
      {"a triple cut short", PaletteBytes(32, 3, "abcdefgh"), -1},
      {"short head", std::string("palette_\x0c\0\0\0", 12), -1},
      {"empty file", "", -1},
      {"unknown magic", "palettx_" + Le64(24) + Le64(0), -1},
      {"histogram head cut short", "_hstgrmm" + Le64(18) + std::string("\x02\0", 2), -1},
      {"histogram width 4", "_hstgrmm" + Le64(20) + std::string("\x04\0\0\0", 4), -1},
      {"histogram without records", "_hstgrmm" + Le64(20) + std::string("\x02\0\0\0", 4), 65536},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Released<IPalette> p = Load(c.bytes);
    if (c.count < 0) {
      EXPECT_EQ(p, nullptr);
    } else {
      ASSERT_NE(p, nullptr);
      EXPECT_EQ(p->GetCount(), c.count);
    }
  }
  EXPECT_EQ(LoadPalette(nullptr), nullptr);
  EXPECT_EQ(DemHistogramm2Palette(nullptr), nullptr);
  EXPECT_EQ(LoadPalette(dir_.File("missing.pal").c_str()), nullptr);
}

TEST_F(PaletteFile, HistogramsGiveGreyDemPalettesOf65536Entries) {
  // Few heights: a ramp from 100 (black) to 300 (white); a record repeated
  // keeps its last count, a negative count counts as none.
  Released<IPalette> p =
      Load(HistogramBytes({{100, 5}, {200, 0}, {200, 7}, {300, 1}, {400, -3}, {9999, 2}}));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(p->GetCount(), 65536);
  uint8_t rgb[3];
  ASSERT_TRUE(p->GetColor(rgb, 200));
  EXPECT_EQ(rgb[0], 127);
  ASSERT_TRUE(p->GetColor(rgb, 300));
  EXPECT_EQ(rgb[0], 255);
  ASSERT_TRUE(p->GetColor(rgb, 400));
  EXPECT_EQ(rgb[0], 255);  // above the highest: white

  std::string path = dir_.File("dem.pal");
  ASSERT_TRUE(SavePalette(path.c_str(), p.get()));
  std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 196632u);
  EXPECT_EQ(bytes.substr(0, 24), "palette_" + Le64(196632) + Le64(65536));
  EXPECT_EQ(bytes.substr(24 + 3 * 200, 3), std::string(3, '\x7f'));
}

TEST_F(PaletteFile, SavesRefuseBadArgumentsWithoutLeavingAFile) {
  std::string path = dir_.File("bad.pal");
  const uint8_t rgb[3] = {1, 2, 3};
  EXPECT_FALSE(SavePaletteRgb(path.c_str(), rgb, -1));
  EXPECT_FALSE(SavePaletteRgb(path.c_str(), rgb, 65537));
  EXPECT_FALSE(SavePaletteRgb(path.c_str(), nullptr, 1));
  EXPECT_FALSE(SavePalette(path.c_str(), nullptr));
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
  EXPECT_FALSE(SavePaletteRgb(nullptr, rgb, 1));
  EXPECT_FALSE(SavePaletteRgb(dir_.File("no/such/dir.pal").c_str(), rgb, 1));
  // An empty palette is a valid file of its head alone.
  ASSERT_TRUE(SavePaletteRgb(path.c_str(), nullptr, 0));
  EXPECT_EQ(ReadFileBytes(path), PaletteBytes(24, 0, ""));
}

#ifndef _WIN32
// A save that runs out of room midway reports false and leaves no file that
// a reader could take for a palette. The file size limit stands in for a
// full disk.
TEST_F(PaletteFile, ASaveCutShortIsReportedAndRemoved) {
  std::string path = dir_.File("cut.pal");
  std::vector<uint8_t> rgb(3 * 1000, 0x33);
  struct rlimit old_limit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  struct rlimit small = old_limit;
  small.rlim_cur = 100;
  auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = SavePaletteRgb(path.c_str(), rgb.data(), 1000);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_FALSE(saved);
  EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}
#endif

}  // namespace
}  // namespace orvotest
