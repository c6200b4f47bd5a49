// orvo label: the label's ink lies along the line in the colour asked for,
// the image fits the points, and bad arguments are refused before anything
// is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/tools/orvo_run.h"
#include "tests/tools/png_read.h"

namespace orvotest {
namespace {

TEST(OrvoLabel, DrawsTheTextAboveAHorizontalLine) {
  TempDir dir;
  const std::string out = dir.File("label.png");
  OrvoRun run =
      Orvo({"label", out, "Volga", "10", "40", "200", "40", "--height", "20", "--color", "ff0000"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, out + ": 241 x 81\n");
  const RgbImage image = ReadPng(out);
  ASSERT_EQ(image.width, 241);
  ASSERT_EQ(image.height, 81);
  // Ink is what is not white; pure red text keeps green equal to blue. The
  // label starts at the first point, its cells' bottom on the line y = 40
  // (where the ink lies within the cells: the text drawing tests).
  int count = 0, other_hue = 0, min_x = 1 << 30, max_y = -1;
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* p = image.At(x, y);
      if (p[0] == 255 && p[1] == 255 && p[2] == 255) continue;
      ++count;
      other_hue += p[0] != 255 || p[1] != p[2];
      min_x = (std::min)(min_x, x), max_y = (std::max)(max_y, y);
    }
  EXPECT_GT(count, 50);
  EXPECT_EQ(other_hue, 0);
  EXPECT_GE(min_x, 10);
  EXPECT_LE(min_x, 14);
  EXPECT_LE(max_y, 40);
  EXPECT_GE(max_y, 30);
}

TEST(OrvoLabel, RefusesBadArgumentsWithoutWriting) {
  TempDir dir;
  const std::string out = dir.File("label.png");
  struct Case {
    std::vector<std::string> args;
    const char* message;
  } cases[] = {
      {{"label", out, "x", "1", "2", "3"}, "points come as pairs X Y"},
      {{"label", out, "", "1", "2"}, "the text is empty"},
      {{"label", out, "x", "1", "2", "--color", "red"}, "--color takes RRGGBB in hexadecimal"},
      {{"label", out, "x", "1", "2", "--height", "3"}, "--height must be 4 to 500 pixels"},
      {{"label", out, "x", "-1", "2"}, "points must lie within 0 to 8191"},
  };
  for (const Case& c : cases) {
    OrvoRun run = Orvo(c.args);
    EXPECT_EQ(run.code, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::ifstream(out).good());
  // An unwritable output is bad input: one line naming it, exit 1.
  OrvoRun run = Orvo({"label", dir.File("no/such/folder/label.png"), "x", "1", "2"});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("no/such/folder/label.png"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace orvotest
