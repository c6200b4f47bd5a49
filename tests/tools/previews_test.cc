// orvo previews: the files a raster view finds, their sizes and sampled
// pixels, earlier previews replaced, and one clear line for files it cannot
// use. (What a view draws from previews: the raster view's own tests.)
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "display/raster_view.h"
#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/temp_dir.h"
#include "tests/tools/orvo_run.h"

namespace orvotest {
namespace {

uint32_t Value(int32_t x, int32_t y) { return static_cast<uint32_t>((x * 31 + y * 17) % 9000); }

// 300 x 200 heights in 64 x 64 tiles: previews of factor 2 (150 x 100), 4
// (75 x 50) and 8 (37 x 25, within one tile).
class OrvoPreviews : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(MakeRaster(path_, 300, 200, 64, 64, 2, Value), nullptr); }
  TempDir dir_;
  const std::string path_ = dir_.File("a.raster");
};

TEST_F(OrvoPreviews, EveryLevelHoldsTheSampledPixelsUpToOneTile) {
  OrvoRun run = Orvo({"previews", path_});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, dir_.File("a.r2") + ": 150 x 100, factor 2\n" + dir_.File("a.r4") +
                         ": 75 x 50, factor 4\n" + dir_.File("a.r8") + ": 37 x 25, factor 8\n");
  EXPECT_EQ(FilesIn(dir_.path()), (std::set<std::string>{"a.raster", "a.r2", "a.r4", "a.r8"}));
  const struct {
    int32_t factor, width, height, tile_width, tile_height;
  } levels[] = {{2, 150, 100, 64, 64}, {4, 75, 50, 64, 50}, {8, 37, 25, 37, 25}};
  for (const auto& level : levels) {
    SCOPED_TRACE(level.factor);
    Released<IRaster> preview(
        OpenRaster(dir_.File("a.r" + std::to_string(level.factor)).c_str(), 1, true));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->GetWidth(), level.width);
    EXPECT_EQ(preview->GetHeight(), level.height);
    EXPECT_EQ(preview->GetTileWidth(), level.tile_width);
    EXPECT_EQ(preview->GetTileHeight(), level.tile_height);
    ASSERT_EQ(preview->GetPixelSize(), 2);
    std::vector<uint16_t> pixels(static_cast<size_t>(level.width) * level.height);
    ASSERT_TRUE(preview->GetPixelBlock(0, 0, level.width, level.height, pixels.data()));
    int wrong = 0;
    for (int32_t y = 0; y < level.height; ++y)
      for (int32_t x = 0; x < level.width; ++x)
        wrong += pixels[static_cast<size_t>(y) * level.width + x] !=
                 Value(x * level.factor, y * level.factor);
    EXPECT_EQ(wrong, 0);
  }
  mt::TRasterView view(path_.c_str());
  EXPECT_EQ(view.factors(), (std::vector<int32_t>{1, 2, 4, 8}));
}

TEST_F(OrvoPreviews, RebuildingReplacesThePreviewsAndRemovesStaleOnes) {
  ASSERT_NE(MakeRaster(dir_.File("a.r2"), 150, 100, 64, 64, 2, [](int32_t, int32_t) { return 1u; }),
            nullptr);
  ASSERT_NE(MakeRaster(dir_.File("a.r16"), 18, 12, 64, 64, 2, [](int32_t, int32_t) { return 1u; }),
            nullptr);
  WriteFileBytes(dir_.File("a.r32"), "notes, not a raster");
  WriteFileBytes(dir_.File("~a.r4.tmp"), "left by an interrupted run");
  ASSERT_EQ(Orvo({"previews", path_}).code, 0);
  EXPECT_EQ(FilesIn(dir_.path()),
            (std::set<std::string>{"a.raster", "a.r2", "a.r4", "a.r8", "a.r32"}));
  Released<IRaster> preview(OpenRaster(dir_.File("a.r2").c_str(), 1, true));
  uint16_t v = 0;
  ASSERT_TRUE(preview->GetPixel(5, 7, &v));
  EXPECT_EQ(v, Value(10, 14));
}

TEST(OrvoPreviewsLevels, SmallAndThinRastersAndFilesItCannotUse) {
  TempDir dir;
  // Within one tile: nothing to do.
  const std::string small = dir.File("small.raster");
  ASSERT_NE(MakeRaster(small, 100, 100, 256, 256, 1, Value), nullptr);
  OrvoRun run = Orvo({"previews", small});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, small + ": fits in one tile; no previews needed\n");
  // 1000 x 40 in 16 x 16 tiles: 62 x 2 would read as factor 1000 / 62 = 16
  // across but 40 / 2 = 20 down, so the levels end at 8.
  const std::string thin = dir.File("thin.raster");
  ASSERT_NE(MakeRaster(thin, 1000, 40, 16, 16, 1, Value), nullptr);
  run = Orvo({"previews", thin});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, dir.File("thin.r2") + ": 500 x 20, factor 2\n" + dir.File("thin.r4") +
                         ": 250 x 10, factor 4\n" + dir.File("thin.r8") + ": 125 x 5, factor 8\n" +
                         thin +
                         ": no factor-16 preview: a view would read its size as another factor\n");
  mt::TRasterView view(thin.c_str());
  EXPECT_EQ(view.factors(), (std::vector<int32_t>{1, 2, 4, 8}));
  // Files it cannot use: one line naming them.
  const std::string missing = dir.File("missing.raster");
  EXPECT_EQ(CodeAndErr({"previews", missing}), "1 orvo previews: " + missing + ": no such file\n");
  const std::string text = dir.File("text.raster");
  WriteFileBytes(text, "no raster here");
  EXPECT_EQ(CodeAndErr({"previews", text}), "1 orvo previews: " + text + ": is no raster\n");
  // A preview named in place of its raster.
  ASSERT_NE(MakeRaster(dir.File("b.raster"), 300, 200, 64, 64, 1, Value), nullptr);
  ASSERT_EQ(Orvo({"previews", dir.File("b.raster")}).code, 0);
  EXPECT_EQ(CodeAndErr({"previews", dir.File("b.r2")}),
            "1 orvo previews: " + dir.File("b.r2") +
                ": a wider raster of its name is beside it (is this a preview?)\n");
  EXPECT_EQ(FilesIn(dir.path()),
            (std::set<std::string>{"small.raster", "thin.raster", "thin.r2", "thin.r4", "thin.r8",
                                   "text.raster", "b.raster", "b.r2", "b.r4", "b.r8"}));
  EXPECT_EQ(Orvo({"previews"}).code, 2);
  EXPECT_EQ(Orvo({"previews", "a", "b"}).code, 2);
}

}  // namespace
}  // namespace orvotest
