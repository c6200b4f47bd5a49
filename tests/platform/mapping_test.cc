// Contract tests of file mappings: views and their alignment, the lifetime of
// mappings and views, and named mappings. (Named mappings shared with another
// process, and names left by a process that died, are covered by the raster
// tests: a raster shared with a child, and one whose holder is killed.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

constexpr DWORD kGranularity = 65536;

class PlatformMappingTest : public ::testing::Test {
 protected:
  // A file of `size` bytes where byte i holds i / kGranularity + 'A'.
  std::string MakePagedFile(DWORD size) {
    std::string bytes(size, '\0');
    for (DWORD i = 0; i < size; ++i) bytes[i] = static_cast<char>('A' + i / kGranularity);
    std::string path = dir_.File("paged.bin");
    EXPECT_TRUE(MakeFile(path, bytes));
    return path;
  }
  TempDir dir_;
};

TEST_F(PlatformMappingTest, OffsetsMustBeGranularityMultiplesAndViewsLieInsideTheMapping) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwAllocationGranularity, kGranularity);
  EXPECT_EQ(info.dwPageSize, 4096u);

  ScopedHandle file(
      OpenFile(MakePagedFile(2 * kGranularity + 100), GENERIC_READ, 0, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  const char* second = static_cast<const char*>(
      MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, kGranularity, kGranularity));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second[0], 'B');
  EXPECT_EQ(second[kGranularity - 1], 'B');
  EXPECT_TRUE(UnmapViewOfFile(second));
  EXPECT_EQ(ErrorOf(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 4096, 0)),
            ERROR_MAPPED_ALIGNMENT);
  const char* tail =
      static_cast<const char*>(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 2 * kGranularity, 0));
  ASSERT_NE(tail, nullptr);  // length 0: to the end, 100 bytes
  EXPECT_EQ(tail[99], 'C');
  EXPECT_TRUE(UnmapViewOfFile(tail));
  EXPECT_EQ(ErrorOf(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 2 * kGranularity, 101)),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(ErrorOf(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 3 * kGranularity, 0)),
            ERROR_INVALID_PARAMETER);
}

// Mappings need the access of their handle and bytes to map; views need the mapping's.
TEST_F(PlatformMappingTest, RefusedMappingsAndViewsTellTheirReason) {
  std::string path = MakePagedFile(kGranularity);
  ScopedHandle reader(OpenFile(path, GENERIC_READ, kShareAll, OPEN_EXISTING));
  ScopedHandle writer(OpenFile(path, GENERIC_WRITE, kShareAll, OPEN_EXISTING));
  ScopedHandle empty(OpenFile(dir_.File("empty"), kReadWrite, 0, CREATE_ALWAYS));
  // The empty file is mapped at its size, 0.
  const std::tuple<HANDLE, DWORD, long> cases[] = {
      {reader.get(), PAGE_READWRITE, ERROR_ACCESS_DENIED},
      {writer.get(), PAGE_READONLY, ERROR_ACCESS_DENIED},
      {empty.get(), PAGE_READWRITE, ERROR_FILE_INVALID},
      {INVALID_HANDLE_VALUE, PAGE_READWRITE, ERROR_INVALID_PARAMETER}};
  for (auto [file, protect, code] : cases)
    EXPECT_EQ(ErrorOf(CreateFileMappingA(file, nullptr, protect, 0, 0, nullptr)), code);

  ScopedHandle both(OpenFile(path, kReadWrite, kShareAll, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(both.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  for (DWORD access : {DWORD{FILE_MAP_WRITE}, DWORD{FILE_MAP_ALL_ACCESS}}) {
    EXPECT_EQ(ErrorOf(MapViewOfFile(mapping.get(), access, 0, 0, 0)), ERROR_ACCESS_DENIED);
  }
}

TEST_F(PlatformMappingTest, ViewOutlivesItsMappingHandleAndWritesReachTheFile) {
  std::string path = MakePagedFile(kGranularity);
  ScopedHandle file(OpenFile(path, kReadWrite, kShareAll, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 0, nullptr));
  char* view = static_cast<char*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  mapping.Close();
  file.Close();
  std::memcpy(view + 10, "mapped", 6);
  EXPECT_TRUE(FlushViewOfFile(view + 10, 6));
  EXPECT_EQ(FileBytes(path).substr(10, 6), "mapped");
  EXPECT_TRUE(UnmapViewOfFile(view + 100));  // any address inside the view
  EXPECT_EQ(ErrorOf(UnmapViewOfFile(view)), ERROR_INVALID_ADDRESS);
  int local = 0;
  EXPECT_EQ(ErrorOf(UnmapViewOfFile(&local)), ERROR_INVALID_ADDRESS);
  EXPECT_FALSE(FlushViewOfFile(view, 0));  // unmapped now
}

TEST_F(PlatformMappingTest, MappedViewForbidsCuttingTheFile) {
  std::string path = MakePagedFile(2 * kGranularity);
  ScopedHandle file(OpenFile(path, kReadWrite, 0, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 0, nullptr));
  void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, kGranularity);
  ASSERT_NE(view, nullptr);
  SetFilePointer(file.get(), 1000, nullptr, FILE_BEGIN);
  EXPECT_EQ(ErrorOf(SetEndOfFile(file.get())), ERROR_USER_MAPPED_FILE);
  EXPECT_EQ(GetFileSize(file.get(), nullptr), 2 * kGranularity);
  SetFilePointer(file.get(), 3 * kGranularity, nullptr, FILE_BEGIN);
  EXPECT_TRUE(SetEndOfFile(file.get()));  // growing is fine
  EXPECT_TRUE(UnmapViewOfFile(view));
  mapping.Close();
  SetFilePointer(file.get(), 1000, nullptr, FILE_BEGIN);
  EXPECT_TRUE(SetEndOfFile(file.get()));
  EXPECT_EQ(GetFileSize(file.get(), nullptr), 1000u);
}

// Views come and go as readers slide their windows: each new view shows its
// own offset's bytes, whatever views of other lengths or access were made and
// ended before, and a write through an ended view stays in the file.
TEST_F(PlatformMappingTest, ViewsMadeAndEndedInTurnShowTheirOwnBytes) {
  constexpr DWORD kPages = 4;
  std::string path = MakePagedFile(kPages * kGranularity);
  ScopedHandle file(OpenFile(path, kReadWrite, kShareAll, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  // More views alive at once than are ever kept for reuse, then all ended.
  std::vector<const char*> views;
  for (DWORD i = 0; i < 40; ++i) {
    DWORD page = i % kPages;
    DWORD length = (i % 3 == 0 && page + 1 < kPages) ? 2 * kGranularity : kGranularity;
    views.push_back(static_cast<const char*>(
        MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, page * kGranularity, length)));
    ASSERT_NE(views.back(), nullptr);
    EXPECT_EQ(views.back()[length - 1], static_cast<char>('A' + page + length / kGranularity - 1));
  }
  for (const char* view : views) EXPECT_TRUE(UnmapViewOfFile(view));
  // A window sliding forward and back, writing its page's mark as it goes.
  for (DWORD step = 0; step < 2 * kPages; ++step) {
    DWORD page = step < kPages ? step : 2 * kPages - 1 - step;
    char* view = static_cast<char*>(
        MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, page * kGranularity, kGranularity));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0], static_cast<char>((step < kPages ? 'A' : 'a') + page)) << step;
    view[0] = static_cast<char>('a' + page);
    EXPECT_TRUE(UnmapViewOfFile(view));
  }
  mapping.Close();
  file.Close();
  std::string bytes = FileBytes(path);
  for (DWORD page = 0; page < kPages; ++page) {
    EXPECT_EQ(bytes[page * kGranularity], static_cast<char>('a' + page));
    EXPECT_EQ(bytes[page * kGranularity + 1], static_cast<char>('A' + page));
  }
}

TEST_F(PlatformMappingTest, SecondCreateSharesTheFirstAndTheNameLivesWithItsHandles) {
  std::string name = UniqueName("twice");
  ScopedHandle first(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str()));
  ASSERT_TRUE(first.valid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  char* a = static_cast<char*>(MapViewOfFile(first.get(), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(a, nullptr);
  std::memcpy(a, "shared", 6);
  ScopedHandle second(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8192, name.c_str()));
  ASSERT_TRUE(second.valid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(MapViewOfFile(second.get(), FILE_MAP_READ, 0, 0, 8192), nullptr);  // keeps its size
  ScopedHandle opened(OpenFileMappingA(FILE_MAP_READ, FALSE, ("Local\\" + name).c_str()));
  ASSERT_TRUE(opened.valid());
  first.Close();
  second.Close();
  char* b = static_cast<char*>(MapViewOfFile(opened.get(), FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(std::string(b, 6), "shared");
  opened.Close();
  // Views keep the bytes, not the name.
  EXPECT_EQ(ErrorOf(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str())), ERROR_FILE_NOT_FOUND);
  UnmapViewOfFile(a);
  UnmapViewOfFile(b);
}

}  // namespace
}  // namespace orvotest
