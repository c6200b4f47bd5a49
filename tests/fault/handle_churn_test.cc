// Every handle kind and interface that reads files or holds platform handles,
// device contexts and fonts, opened and freed 10,000 times: the heap in use
// after the run is what it was after a warm-up (no leak per handle, no table
// of the platform layer that only grows). Objects of memory alone are left to
// LeakSanitizer.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/support/pgm_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/taws/taws_files.h"

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime (its header comes with clang only).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Bytes of heap in use (the sanitizer's count when it owns the heap).
int64_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
  return static_cast<int64_t>(mallinfo2().uordblks);
#endif
}

// The handle after one call of f on it.
template <class H, class F, class... A>
H Touched(H h, F f, A... args) {
  f(h, args...);
  return h;
}

struct Kind {
  const char* name;
  std::function<void()> open_and_free;
};

TEST(HandleChurn, TenThousandOpensOfEveryKindLeaveTheHeapAsItWas) {
  orvotest::TempDir dir;
  const std::string layer = dir.File("layer.bspatial"), text_layer = dir.File("layer.spatial");
  const std::string attributes = dir.File("layer.battribute");
  const std::string raster = dir.File("image.raster"), points = dir.File("image.raster.corners");
  const int32_t counts[] = {2};
  const double metric[] = {0, 0, 10, 10};
  for (const std::string& path : {layer, text_layer}) {
    HSW w = CreateExSW(path.c_str(), path == layer);
    ASSERT_GE(AddRecordSW(w, 1, 2, counts, metric, 1), 0);
    FreeSW(w);
  }
  HAW aw = CreateExAW(attributes.c_str(), true);
  ASSERT_GE(AddRecordAW(aw, 1, 1, "ROAD"), 0);
  FreeAW(aw);
  ASSERT_TRUE(CreateRaster(raster.c_str(), 40, 30, 16, 16, 2, 0));
  BOUND bound = {30, 59, 31, 60};
  ASSERT_TRUE(WriteRasterBound(points.c_str(), 40, 30, &bound));
  orvotest::MakeTile(dir.path(), 30, 60, 4, [](int32_t r, int32_t c) { return r * 5 + c; });
  const std::string list = orvotest::WriteList(dir, {orvotest::TileRecord(1, 30, 60)});
  const std::string classifier = dir.File("c.classify");
  orvotest::WriteFileBytes(classifier, "[feature.ROAD]\r\nname1=Road\r\nlocal=LIN\r\n");
  const std::string signs = dir.File("signs.pgm");
  orvotest::WriteFileBytes(
      signs, orvotest::PgmFile(orvotest::PgmRecord(
                 "Zdot", 1, 1, 3, 3, orvotest::BmpImage(3, 3, [](int32_t x, int32_t y) {
                   return x == 1 && y == 1 ? 0xFF0000u : 0xFFFFFFu;
                 }))));
  HDC dc = CreateImageDC(16, 16);
  ASSERT_NE(dc, nullptr);
  LOGFONTA font = {};
  font.lfHeight = -12;
  std::memcpy(font.lfFaceName, "Arial", 6);

  const std::vector<Kind> kinds = {
      {"SR binary", [&] { FreeSR(Touched(CreateExSR(layer.c_str(), true), NextSR)); }},
      {"SR text", [&] { FreeSR(Touched(CreateExSR(text_layer.c_str(), false), NextSR)); }},
      {"SW", [&] { FreeSW(CreateExSW(dir.File("w.bspatial").c_str(), true)); }},
      {"AR", [&] { FreeAR(Touched(CreateExAR(attributes.c_str(), true), NextAR)); }},
      {"AW", [&] { FreeAW(CreateExAW(dir.File("w.battribute").c_str(), true)); }},
      {"CS", [&] { FreeCS(Touched(CreateCS(), LoadFileCS, classifier.c_str())); }},
      {"MP", [&] { FreeMP(Touched(CreateMP(), FindMP, layer.c_str(), true)); }},
      {"ICoords", [&] { CreateCoords(points.c_str(), 4)->Release(); }},
      {"ITransform", [&] { LoadAffineTransform(points.c_str())->Release(); }},
      {"IRaster", [&] { OpenRaster(raster.c_str(), 0, true)->Release(); }},
      {"ITransformedRaster",
       [&] { OpenTransformedRaster(raster.c_str(), true, false)->Release(); }},
      {"DEM", [&] { CloseDem(OpenDem(raster.c_str())); }},
      {"ITaRaster", [&] { OpenTawsesRaster(list.c_str(), true)->Release(); }},
      {"image DC", [&] { FreeImageDC(CreateImageDC(8, 8)); }},
      {"IRasterView",
       [&] {
         IRasterView* view = OpenRasterView(raster.c_str());
         view->Prepare(dc, 8, 8, 0, 0, 1);
         view->Release();
       }},
      {"IPgm",
       [&] {
         IPgm* pgm = OpenPgm(signs.c_str());
         pgm->DrawSign(dc, 4, 4, 0);
         pgm->Release();
       }},
      {"font", [&] { FreeFontDC(CreateFontDC(&font)); }},
  };
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    for (int i = 0; i < 200; ++i) kind.open_and_free();
    const int64_t before = HeapInUse();
    for (int i = 0; i < 10000; ++i) kind.open_and_free();
    const int64_t grown = HeapInUse() - before;
    // Less than a byte per open: a handle's own allocations are far larger.
    EXPECT_LT(grown, 10000) << kind.name << " grew the heap by " << grown << " bytes";
  }
  FreeImageDC(dc);
}

}  // namespace
