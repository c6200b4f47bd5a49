// orvo render: the PNG's pixels against colours worked out here from the
// raster's values (a palette file over a reduced window, the DEM palette of
// the window's heights), and refusals that leave everything as it was. (Grey
// and RGB pixels and the scaling: the display tests.) orvo label: the label's
// ink lies along the line in the colour asked for and the image fits the
// points. Bad arguments of both are refused before anything is written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/orvo_run.h"
#include "tests/tools/png_read.h"

namespace orvotest {
namespace {

TEST(OrvoRender, APaletteFileColoursAReducedWindow) {
  TempDir dir;
  const std::string raster = dir.File("v.raster"), out = dir.File("v.png");
  auto value = [](int32_t x, int32_t y) { return static_cast<uint32_t>(x + 40 * y); };
  ASSERT_NE(MakeRaster(raster, 40, 30, 16, 16, 2, value), nullptr);
  std::vector<uint8_t> rgb;  // entry i is (i, 255 - i, i / 2)
  for (int i = 0; i < 256; ++i)
    rgb.insert(rgb.end(), {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                           static_cast<uint8_t>(i / 2)});
  ASSERT_TRUE(SavePaletteRgb(dir.File("ramp.pal").c_str(), rgb.data(), 256));
  OrvoRun run = Orvo({"render", raster, out, "--window", "5", "6", "20", "12", "--scale", "-2",
                      "--palette", dir.File("ramp.pal")});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, out + ": 10 x 6\n");
  const RgbImage image = ReadPng(out);
  ASSERT_EQ(image.width, 10);
  ASSERT_EQ(image.height, 6);
  // Output pixel (i, j) samples raster pixel ((5 / 2 + i) * 2, (6 / 2 + j) * 2);
  // the 16-bit value picks entry value % 256.
  std::vector<uint8_t> want;
  for (int j = 0; j < 6; ++j)
    for (int i = 0; i < 10; ++i) {
      const uint32_t entry = value(4 + 2 * i, 6 + 2 * j) % 256;
      want.insert(want.end(), rgb.begin() + entry * 3, rgb.begin() + entry * 3 + 3);
    }
  EXPECT_TRUE(image.rgb == want);
}

TEST(OrvoRender, HeightsAreGreyFromTheLowestToTheHighestOfTheWindow) {
  TempDir dir;
  const std::string raster = dir.File("dem.raster"), out = dir.File("dem.png");
  auto height = [](int32_t x, int32_t y) -> uint32_t {
    if (x == 20) return 9999;        // no data
    if (x == 7 && y == 4) return 0;  // sea level
    return 100 + (x * 3 + y * 5) % 150;
  };
  ASSERT_NE(MakeRaster(raster, 30, 20, 16, 16, 2, height), nullptr);
  ASSERT_EQ(Orvo({"render", raster, out}).code, 0);
  const RgbImage image = ReadPng(out);
  ASSERT_EQ(image.width, 30);
  ASSERT_EQ(image.height, 20);
  // Fewer than 257 heights over less than 385 m: a linear ramp from 0 (the
  // lowest, as 0 is counted) to the highest (249); no data red, sea level green.
  std::vector<uint8_t> want;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) {
      const int h = static_cast<int>(height(x, y));
      const uint8_t g = static_cast<uint8_t>(h * 255 / 249);
      const uint8_t colours[3][3] = {{g, g, g}, {255, 0, 0}, {0, 255, 0}};
      const uint8_t* p = colours[h == 9999 ? 1 : h == 0 ? 2 : 0];
      want.insert(want.end(), p, p + 3);
    }
  EXPECT_TRUE(image.rgb == want);
}

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

TEST(OrvoRenderAndLabel, RefusalsLeaveEverythingAsItWas) {
  TempDir dir;
  const std::string raster = dir.File("r.raster"), out = dir.File("r.png");
  ASSERT_NE(MakeRaster(raster, 40, 30, 16, 16, 1, [](int32_t x, int32_t) { return x; }), nullptr);
  const std::string raster_bytes = ReadFileBytes(raster);
  const std::vector<std::string> render = {"render", raster, out}, label = {"label", out};
  auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  const struct {
    std::vector<std::string> args;
    std::string message;
  } usage[] = {
      {with(render, {"--window", "0", "0", "0", "5"}),
       "window 0 0 0 5 is not within the 40 x 30 raster"},
      {with(render, {"--window", "30", "0", "11", "5"}),
       "window 30 0 11 5 is not within the 40 x 30 raster"},
      {with(render, {"--window", "-1", "0", "5", "5"}),
       "window -1 0 5 5 is not within the 40 x 30 raster"},
      {with(render, {"--scale", "0"}),
       "--scale must be a whole number from -1024 to 32 other than 0"},
      {with(render, {"--scale", "33"}),
       "--scale must be a whole number from -1024 to 32 other than 0"},
      // The raster itself, or another raster, as the image.
      {{"render", raster, raster}, raster + " is a raster; the image is not written over it"},
      {with(label, {"x", "1", "2", "3"}), "points come as pairs X Y"},
      {with(label, {"", "1", "2"}), "the text is empty"},
      {with(label, {"x", "1", "2", "--color", "red"}), "--color takes RRGGBB in hexadecimal"},
      {with(label, {"x", "1", "2", "--height", "3"}), "--height must be 4 to 500 pixels"},
      {with(label, {"x", "-1", "2"}), "points must lie within 0 to 8191"},
  };
  for (const auto& c : usage) {
    const std::string run = CodeAndErr(c.args);
    EXPECT_EQ(run.rfind("2 orvo " + c.args[0] + ": ", 0), 0u) << run;
    EXPECT_NE(run.find(c.message), std::string::npos) << run;
  }
  EXPECT_EQ(ReadFileBytes(raster), raster_bytes);
  // Files that can't be used: one line naming them, exit 1.
  const std::string missing = dir.File("missing.raster"), text = dir.File("text.raster");
  WriteFileBytes(text, "no raster");
  const std::string wide = dir.File("wide.raster");
  ASSERT_NE(MakeRaster(wide, 4, 4, 4, 4, 4, [](int32_t, int32_t) { return 1u; }), nullptr);
  const struct {
    std::vector<std::string> args;
    std::string line;
  } bad[] = {
      {{"render", missing, out}, "orvo render: " + missing + ": no such file\n"},
      {{"render", text, out}, "orvo render: " + text + ": is no raster\n"},
      {{"render", raster, out, "--palette", text},
       "orvo render: " + text + ": is no palette or histogram file\n"},
      {{"render", wide, out},
       "orvo render: " + wide + ": has 4-byte pixels, which no palette turns into colours\n"},
  };
  for (const auto& c : bad) EXPECT_EQ(CodeAndErr(c.args), "1 " + c.line);
  EXPECT_FALSE(std::filesystem::exists(out));
  // An unwritable output is bad input too.
  const std::string nowhere = dir.File("no/such/folder/r.png");
  for (const auto& args : {std::vector<std::string>{"render", raster, nowhere},
                           std::vector<std::string>{"label", nowhere, "x", "1", "2"}}) {
    const OrvoRun run = Orvo(args);
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("no/such/folder/r.png"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Orvo({"render", raster}).code, 2);
}

}  // namespace
}  // namespace orvotest
