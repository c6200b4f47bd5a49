// Every listed export is declared in orvoapi.h and resolves under its plain and
// underscore names; interface slots called from C (c_host_test.c) reach the C++
// objects; reference counts from C and through the release holder; the
// boundary guard and ExecuteOsCommand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "api/guard.h"
#include "base/api_object.h"
#include "base/errors.h"
#include "base/holders.h"
#include "orvoapi.h"
#include "platform/win32.h"
#include "tests/display/display_test_util.h"
#include "tests/support/child.h"
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

struct ListedExport {
  const char* name;
  const void* declared;  // taking the address proves the header declares it
};

#define ORVO_EXPORT(name) {#name, reinterpret_cast<const void*>(&::name)},
const ListedExport kListed[] = {
#include "export_names.inc"
};
#undef ORVO_EXPORT

std::string LibraryPath() {
  const char* from_env = std::getenv("ORVO_LIBRARY");
  if (from_env != nullptr && *from_env != '\0') return from_env;
#ifdef _WIN32
  return "orvoapi.dll";
#else
  return "liborvoapi.so";
#endif
}

TEST(Exports, EveryListedNameResolvesUnderBothNamesAndNothingElse) {
  HMODULE module = LoadLibraryA(LibraryPath().c_str());
  ASSERT_NE(module, nullptr) << LibraryPath() << " error " << GetLastError();
  for (const ListedExport& e : kListed) {
    FARPROC plain = GetProcAddress(module, e.name);
    FARPROC underscored = GetProcAddress(module, (std::string("_") + e.name).c_str());
    EXPECT_NE(plain, nullptr) << e.name;
    EXPECT_EQ(plain, underscored) << e.name;
  }
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  // Internal symbols stay hidden.
  for (const char* internal : {"_ZN4orvo12StrToDoubleEPKc", "StrToDouble", "_ZN4orvo5RaiseEPKc"})
    EXPECT_EQ(GetProcAddress(module, internal), nullptr) << internal;
  FreeLibrary(module);
}

// Each C function returns the line of its first failed check, or 0.
constexpr const char* kLine = "line of the failed check in c_host_test.c";

class TCounted : public orvo::TApiObject<IApiObject> {
 public:
  explicit TCounted(int* destroyed) : destroyed_(destroyed) {}
  ~TCounted() override { ++*destroyed_; }

 private:
  int* destroyed_;
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
  int destroyed = 0;
  IApiObject* object = new TCounted(&destroyed);
  EXPECT_EQ((std::vector<int32_t>{OrvoCAddRef(object), OrvoCAddRef(object), OrvoCRelease(object),
                                  destroyed, OrvoCRelease(object), destroyed}),
            (std::vector<int32_t>{1, 2, 1, 0, 0, 1}));
  // The count starts at 0: a fresh object dies on one Release.
  EXPECT_EQ(OrvoCRelease(new TCounted(&destroyed)), 0);
  EXPECT_EQ(destroyed, 2);
  // The release holder adopts that count and releases once, replaced or destroyed.
  {
    orvo::TAutoRelease<IApiObject> holder(new TCounted(&destroyed));
    EXPECT_EQ(holder->AddRef(), 1);  // reaches the object; Reset releases it all the same
    holder.Reset(new TCounted(&destroyed));
    EXPECT_EQ(destroyed, 3);
  }
  EXPECT_EQ(destroyed, 4);
  // BOUND is four doubles in both languages.
  EXPECT_EQ(OrvoCBoundSize(), 32);
  EXPECT_EQ(sizeof(BOUND), 32u);
}

TEST(Guard, EveryKindOfFailureGivesTheNeutralResult) {
  EXPECT_EQ(orvo::Guarded<int32_t>(-1, []() -> int32_t { orvo::Raise("error in spatial file"); }),
            -1);
  EXPECT_EQ(orvo::Guarded<void*>(nullptr, []() -> void* { throw std::bad_alloc(); }), nullptr);
  EXPECT_EQ(orvo::Guarded<bool>(false, []() -> bool { throw 17; }), false);
  EXPECT_EQ(orvo::Guarded<int64_t>(0, [] { return int64_t{1} << 40; }), int64_t{1} << 40);
  bool ran = false;
  orvo::GuardedVoid([&] {
    ran = true;
    throw std::runtime_error("ignored");
  });
  EXPECT_TRUE(ran);
  // A failed string getter writes one NUL and nothing else.
  char buffer[8] = "xxxxxxx";
  EXPECT_FALSE(
      orvo::GuardedCopyIfFits(buffer, 8, []() -> std::string { orvo::Raise("can't open file"); }));
  EXPECT_EQ(std::string(buffer, 3), std::string("\0xx", 3));
  EXPECT_TRUE(orvo::GuardedCopyIfFits(buffer, 8, [] { return std::string("roads"); }));
  EXPECT_STREQ(buffer, "roads");
}

// Child: writes a marker file named by its argument in its current directory,
// as its last act, and exits with code 3.
ORVO_CHILD(write_marker_then_exit_3) {
  std::ofstream(args.at(0)) << "done";
  return 3;
}

// Runs the command line (the export takes a writable one) in dir.
uint32_t RunIn(std::string line, const char* dir) { return ExecuteOsCommand(line.data(), dir); }

TEST(ExecuteOsCommand, WaitsForTheProgramInTheWorkingDirectoryAndReportsFailures) {
  TempDir dir;
  const std::string child =
      "\"" + SelfPath() + "\" --orvo-child write_marker_then_exit_3 marker.txt";
  // The exit code 3 is not reported; the call returns once the child has ended.
  EXPECT_EQ(RunIn(child, dir.path().c_str()), 0u);
  EXPECT_EQ(ReadFileBytes(dir.File("marker.txt")), "done");
  // A working directory that does not exist: the system's code.
  const uint32_t result = RunIn(child, dir.File("missing").c_str());
  EXPECT_NE(result, 0u);
  EXPECT_NE(result, 1u);
  EXPECT_EQ(ExecuteOsCommand(nullptr, nullptr), 1u);
  EXPECT_EQ(RunIn("orvo-no-such-program-4711 --flag", nullptr), 2u);  // file not found
}

}  // namespace
}  // namespace orvotest
