// orvo import-hgt: tiles compared sample for sample with the cells, the
// void and zero rules, the list, refused files that leave nothing behind and
// progress.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/tools/orvo_run.h"

namespace orvotest {
namespace {

// Sample (r, c) of the synthetic cells: voids and zeros on the diagonal.
int16_t HgtSample(int32_t r, int32_t c) {
  if (r == c) return r % 2 == 0 ? -32768 : 0;
  return static_cast<int16_t>((r * 7 + c * 3) % 9000 - 400);
}

// An SRTM cell file: 1201 x 1201 big-endian samples, north row first.
std::string WriteHgt(const TempDir& dir, const std::string& name) {
  std::string bytes;
  for (int32_t i = 0; i < 1201 * 1201; ++i) {
    const uint16_t v = static_cast<uint16_t>(HgtSample(i / 1201, i % 1201));
    bytes += {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)};
  }
  const std::string path = dir.File(name);
  WriteFileBytes(path, bytes);
  return path;
}

// The command as `orvo import-hgt ARGS...` runs it.
OrvoRun Import(std::vector<std::string> args) {
  args.insert(args.begin(), "import-hgt");
  return Orvo(args);
}

TEST(ImportHgt, TilesHoldEverySampleOfTheirCells) {
  TempDir in, out;
  const std::string a = WriteHgt(in, "N59E030.hgt"), b = WriteHgt(in, "n59e031.hgt");
  const OrvoRun run = Import({"--progress", out.path(), a, b});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, "importing 2 file(s) into " + out.path() +
                         ": 0...10...20...30...40...50...60...70...80...90...100 - done.\n");
  EXPECT_EQ(FilesIn(out.path()),
            (std::set<std::string>{"E030N60.taws", "E031N60.taws", "tawslist.txt"}));
  EXPECT_EQ(ReadFileBytes(out.File("tawslist.txt")),
            "1, 30, 59, 31, 60, E030N60.taws\r\n2, 31, 59, 32, 60, E031N60.taws\r\n");

  // Every sample of both tiles, the shared last row and column too: voids
  // become 9999 and zeros 9998. The head knows the range.
  std::vector<int16_t> samples(1201 * 1201);
  for (size_t i = 0; i < samples.size(); ++i) {
    const int16_t v = HgtSample(static_cast<int32_t>(i / 1201), static_cast<int32_t>(i % 1201));
    samples[i] = v == -32768 ? 9999 : v == 0 ? 9998 : v;
  }
  const std::string tile = ReadFileBytes(out.File("E030N60.taws"));
  ASSERT_EQ(tile.size(), 140u + samples.size() * 2);
  EXPECT_EQ(std::memcmp(tile.data() + 140, samples.data(), samples.size() * 2), 0);
  EXPECT_EQ(ReadFileBytes(out.File("E031N60.taws")).substr(140), tile.substr(140));
  int32_t range[2];
  std::memcpy(range, tile.data() + 132, 8);
  EXPECT_EQ(std::vector<int32_t>(range, range + 2), (std::vector<int32_t>{-400, 8599}));
  // orvo info tells the tile's head and its samples without data (the voids).
  const std::string info = Orvo({"info", out.File("E030N60.taws")}).out;
  EXPECT_NE(info.find("kind: taws_tile\nversion: 1\nproducer: UNKNOWN\ncreated: ["),
            std::string::npos)
      << info;
  EXPECT_NE(info.find("samples: 1201\nspacing_arcsec: 3.0\nbound: [30.0,59.0,31.0,60.0]\n"
                      "min_height: -400\nmax_height: 8599\nsamples_without_data: 601\n"),
            std::string::npos)
      << info;
}

TEST(ImportHgt, RefusedFilesLeaveNothingAndAnExistingListKeepsOtherCells) {
  TempDir in, out;
  const std::string good = WriteHgt(in, "S01W001.hgt");
  WriteFileBytes(in.File("N59E030.hgt"), std::string(1000, '\0'));
  const std::string bad_size = in.File("N59E030.hgt");
  const std::string bad_name = WriteHgt(in, "N59E030x.hgt");
  const std::string bad_cell = WriteHgt(in, "N95E030.hgt");
  for (const auto& [file, what] : std::vector<std::pair<std::string, std::string>>{
           {bad_size, "size 1000 bytes"},
           {bad_name, "name is no SRTM cell"},
           {bad_cell, "name is no SRTM cell"},
           {in.File("N10E010.hgt"), "cannot be read"},
       }) {
    const OrvoRun run = Import({out.path(), good, file});
    EXPECT_EQ(run.code, 1) << file;
    EXPECT_EQ(run.err.find("orvo import-hgt: " + file + ": "), 0u) << run.err;
    EXPECT_NE(run.err.find(what), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(FilesIn(out.path()).empty()) << file;
  }
  const OrvoRun twice = Import({out.path(), good, good});
  EXPECT_EQ(twice.code, 1);
  EXPECT_NE(twice.err.find("same cell as"), std::string::npos);
  // A good file alone, W001N00 the cell from 1 W to 0, 1 S to 0, into an
  // existing list: the lines of other cells stay, the cell's own is not repeated.
  const std::string list =
      "5, 10.5, 20, 11, 21, far.taws, second\r\n6, -1, -1, 0, 0, W001N00.taws\r\n";
  WriteFileBytes(out.File("tawslist.txt"), list);
  const OrvoRun run = Import({out.path(), good});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "");  // no terminal, no --progress
  EXPECT_EQ(ReadFileBytes(out.File("tawslist.txt")), list);
  EXPECT_EQ(FilesIn(out.path()), (std::set<std::string>{"W001N00.taws", "tawslist.txt"}));
}

}  // namespace
}  // namespace orvotest
