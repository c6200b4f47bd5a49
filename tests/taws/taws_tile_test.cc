// Tile files: the bytes of a new tile, names, the head's minimum and maximum,
// read-only use, and damaged heads refused without reading past the file.
#include "taws/taws_tile.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "taws/file_map.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "tests/taws/taws_files.h"

namespace orvotest {
namespace {

using namespace std::string_literals;

TEST(TawsTile, NewTileBytes) {
  TempDir dir;
  std::string path;
  {
    orvo::TTawsMap tile(dir.path().c_str(), 30, 59, 1200);
    path = NativePath(tile.Path());
    EXPECT_TRUE(tile.Created());
    EXPECT_EQ(tile.Samples(), 1201);
    EXPECT_DOUBLE_EQ(tile.Spacing(), 3.0);
  }
  EXPECT_EQ(std::filesystem::path(path).filename().string(), "E030N60.taws");
  const std::string bytes = ReadFileBytes(path);
  ASSERT_EQ(bytes.size(), 2884942u);
  const auto at = [&](size_t offset) { return FieldAt<int32_t>(bytes, offset); };
  // Version, the sizes and 0; corners in seconds (north, west, south, east);
  // grid, minimum and maximum; the name, date and time in between.
  EXPECT_EQ((std::array{at(0), at(36), at(40), at(44)}), (std::array{1, 2884942, 2884942, 0}));
  EXPECT_EQ((std::array{at(72), at(76), at(80), at(84)}),
            (std::array{216000, 108000, 212400, 111600}));
  EXPECT_EQ((std::array{at(124), at(128), at(132), at(136)}), (std::array{1201, 1201, 9999, 9999}));
  EXPECT_EQ(std::string(bytes.data() + 4, 32), std::string("UNKNOWN") + std::string(25, '\0'));
  EXPECT_TRUE(at(48) >= 1 && at(48) <= 31 && at(52) >= 1 && at(52) <= 12);  // day, month
  EXPECT_GE(at(56), 2024);
  EXPECT_EQ(bytes.substr(48, 12), bytes.substr(60, 12));
  EXPECT_EQ(bytes.substr(88, 36), std::string(36, '\0'));
  for (size_t at = 140; at < bytes.size(); at += 2)
    ASSERT_EQ(FieldAt<int16_t>(bytes, at), 9999) << at;
}

TEST(TawsTile, NamesCarryTheWesternAndNorthernEdge) {
  EXPECT_EQ(orvo::TawsTileName("d", 30, 59), "d\\E030N60.taws");
  EXPECT_EQ(orvo::TawsTileName("d", -1, -1), "d\\W001N00.taws");
  EXPECT_EQ(orvo::TawsTileName("d", -180, -3), "d\\W180S02.taws");
  EXPECT_EQ(orvo::TawsTileName("d", 179, 89), "d\\E179N90.taws");
}

TEST(TawsTile, MinimumAndMaximumOnClose) {
  TempDir dir;
  std::string path;
  {
    orvo::TTawsMap tile(dir.path().c_str(), 30, 59, 2);
    path = NativePath(tile.Path());
    tile.MutableGrid()[0] = 100;
    tile.MutableGrid()[1] = 9998;  // height 0
    tile.MutableGrid()[2] = 9999;
    tile.MutableGrid()[3] = 10000;  // above 9998: no height
  }
  std::string bytes = ReadFileBytes(path);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 132), 0);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 136), 100);
  {
    orvo::TTawsMap tile(path.c_str(), 0, 0, 0);
    EXPECT_FALSE(tile.Created());
    EXPECT_EQ(tile.MinHeight(), 0);
    EXPECT_EQ(tile.MaxHeight(), 100);
    tile.MutableGrid()[8] = -12;
  }
  bytes = ReadFileBytes(path);
  EXPECT_EQ(FieldAt<int32_t>(bytes, 132), -12);
  EXPECT_EQ(bytes.size(), 140u + 9 * 2);  // cut to the tile, not to the mapping's growth step
}

TEST(TawsTile, ReadOnlyTileLeavesItsHeadAlone) {
  TempDir dir;
  const std::string path = MakeTile(dir.path(), 30, 59, 2, [](int32_t, int32_t) { return 5; });
  // A head whose minimum and maximum are stale: a read-only user must not mend it.
  std::string bytes = ReadFileBytes(path);
  bytes[132] = 77;
  WriteFileBytes(path, bytes);
  {
    orvo::TTawsMap tile(path.c_str(), 0, 0, 0, /*read_only=*/true);
    EXPECT_FALSE(tile.Writable());
    EXPECT_EQ(tile.MutableGrid(), nullptr);
    EXPECT_EQ(tile.Grid()[4], 5);
  }
  EXPECT_EQ(ReadFileBytes(path), bytes);
  // Creating with a grid size opens an existing tile read-only as it is.
  { orvo::TTawsMap tile(dir.path().c_str(), 30, 59, 2, /*read_only=*/true); }
  EXPECT_EQ(ReadFileBytes(path), bytes);
}

#ifndef _WIN32
TEST(TawsTile, FileWithoutWritePermissionOpensReadOnly) {
  TempDir dir;
  const std::string path = MakeTile(dir.path(), 30, 59, 2, [](int32_t, int32_t) { return 5; });
  const std::string bytes = ReadFileBytes(path);
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  if (std::FILE* probe = std::fopen(path.c_str(), "r+")) {
    std::fclose(probe);
    GTEST_SKIP() << "running with rights that write read-only files";
  }
  {
    orvo::TTawsMap tile(path.c_str(), 0, 0, 0);
    EXPECT_FALSE(tile.Writable());
    EXPECT_EQ(tile.Grid()[8], 5);
  }
  EXPECT_EQ(ReadFileBytes(path), bytes);
}
#endif

TEST(TawsTile, MissingOrEmptyTile) {
  TempDir dir;
  const std::string missing = dir.File("E030N60.taws");
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(missing.c_str(), 0, 0, 0); }), "Can't open file");
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(missing.c_str(), 0, 0, 0, true); }), "Can't open file");
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(dir.path().c_str(), 30, 59, 4, true); }),
            "Can't open file");
  EXPECT_FALSE(std::filesystem::exists(missing));
  WriteFileBytes(missing, "");
  EXPECT_EQ(Raised([&] { orvo::TTawsMap t(missing.c_str(), 0, 0, 0); }), "Can't open file");
  EXPECT_EQ(std::filesystem::file_size(missing), 0u);
}

// Every damaged head is refused as "wrong file format" and the file is left as it was.
TEST(TawsTile, DamagedHeads) {
  struct Damage {
    const char* what;
    size_t offset;
    int32_t value;
    int64_t cut = -1;  // new length, or -1
  };
  const Damage damages[] = {
      {"size field differs from the length", 36, 140 + 9 * 2 + 2},
      {"grid of 0 samples", 124, 0},
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
}

TEST(TawsTile, FileMapGrowsAndFits) {
  TempDir dir;
  const std::string path = dir.File("grow.bin");
  {
    orvo::TFileMap map(path.c_str(), 10, orvo::TFileMap::Mode::kCreate);
    ASSERT_TRUE(map.Writable());
    EXPECT_EQ(map.Size(), 10);
    std::memcpy(map.Base(), "0123456789", 10);
    map.Resize(3000000);  // beyond the first growth step
    EXPECT_EQ(map.Base()[9], '9');
    map.Base()[2999999] = 'z';
    map.Fit();
    EXPECT_EQ(std::filesystem::file_size(path), 3000000u);
    map.Resize(12);
  }
  EXPECT_EQ(ReadFileBytes(path), "0123456789\0\0"s);
  EXPECT_EQ(Raised([&] {
              orvo::TFileMap m(dir.File("none").c_str(), 0, orvo::TFileMap::Mode::kReadOnly);
            }),
            "can't open file");
}

}  // namespace
}  // namespace orvotest
