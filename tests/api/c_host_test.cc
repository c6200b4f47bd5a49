// Interface slots called from C (c_host_test.c) reach the C++ objects.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "base/api_object.h"
#include "orvoapi.h"
#include "tests/display/display_test_util.h"
#include "tests/support/pgm_builder.h"
#include "tests/support/temp_dir.h"

extern "C" {
int32_t OrvoCAddRef(IApiObject* object);
int32_t OrvoCRelease(IApiObject* object);
int OrvoCBoundSize(void);
int OrvoCTransformSlots(const char* file_name);
int OrvoCRasterSlots(const char* file_name, const char* corners_name);
int OrvoCPaletteSlotsAndImageDc(void);
int OrvoCViewAndHistogramSlots(const char* path, const char* histogram_path);
int OrvoCPgmSlots(const char* path);
}

namespace orvotest {
namespace {

// Each C function returns the line of its first failed check, or 0.
constexpr const char* kLine = "line of the failed check in c_host_test.c";

class TCounted : public orvo::TApiObject<IApiObject> {
 public:
  explicit TCounted(bool* destroyed) : destroyed_(destroyed) {}
  ~TCounted() override { *destroyed_ = true; }

 private:
  bool* destroyed_;
};

TEST(CHost, CallsEverySlotOfEveryInterfaceAndCountsReferences) {
  TempDir dir;
  const std::string corners = dir.File("c.corners"), raster = dir.File("c.raster");
  const std::string view = dir.File("v.raster"), signs = dir.File("signs.pgm");
  ASSERT_NE(MakeRaster(view, 4, 2, 4, 2, 2,
                       [](int32_t x, int32_t y) { return static_cast<uint32_t>(10 * y + x); }),
            nullptr);
  const auto colour = [](int32_t x, int32_t y) -> uint32_t {
    return x == 1 && y == 0 ? 0xFF0000 : 0xFFFFFF;
  };
  WriteFileBytes(signs, PgmFile(PgmRecord("Zred", 1, 1, 3, 2, BmpImage(3, 2, colour)) +
                                PgmRecord("plain", 0, 0, 3, 2, BmpImage(3, 2, colour))));
  const std::pair<const char*, std::function<int()>> hosts[] = {
      {"transform", [&] { return OrvoCTransformSlots(corners.c_str()); }},
      {"raster and transformed raster",
       [&] { return OrvoCRasterSlots(raster.c_str(), (raster + ".corners").c_str()); }},
      {"palette and image dc", [] { return OrvoCPaletteSlotsAndImageDc(); }},
      {"view and histogram",
       [&] { return OrvoCViewAndHistogramSlots(view.c_str(), dir.File("v.hst").c_str()); }},
      {"pgm", [&] { return OrvoCPgmSlots(signs.c_str()); }}};
  for (const auto& [what, host] : hosts) EXPECT_EQ(host(), 0) << what << ": " << kLine;
  EXPECT_EQ(ReadFileBytes(corners).size(), 3u * (4 * 21 + 2));
  // AddRef and Release by slot from C.
  bool destroyed = false;
  IApiObject* object = new TCounted(&destroyed);
  EXPECT_EQ(OrvoCAddRef(object), 1);
  EXPECT_EQ(OrvoCAddRef(object), 2);
  EXPECT_EQ(OrvoCRelease(object), 1);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(OrvoCRelease(object), 0);
  EXPECT_TRUE(destroyed);
  // The count starts at 0: a fresh object dies on one Release.
  destroyed = false;
  EXPECT_EQ(OrvoCRelease(new TCounted(&destroyed)), 0);
  EXPECT_TRUE(destroyed);
  // BOUND is four doubles in both languages.
  EXPECT_EQ(OrvoCBoundSize(), 32);
  EXPECT_EQ(sizeof(BOUND), 32u);
}

}  // namespace
}  // namespace orvotest
