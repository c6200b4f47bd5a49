// Contract tests of file mappings: views and their alignment, growth, the
// lifetime of mappings and views, and named mappings shared with other
// processes, including names left behind by a process that died.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

constexpr DWORD kGranularity = 65536;

// Opens mapping args[0], expects args[1] at its start and writes args[2]
// there. Exit codes: 0 done, 10 + GetLastError() of a failed open (capped),
// 2 no view, 3 unexpected bytes.
ORVO_CHILD(platform_mapping_peer) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, args.at(0).c_str());
  if (mapping == nullptr) return 10 + static_cast<int>(GetLastError() % 200);
  char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (view == nullptr) return 2;
  int code = std::memcmp(view, args.at(1).data(), args.at(1).size()) == 0 ? 0 : 3;
  std::memcpy(view, args.at(2).data(), args.at(2).size());
  FlushViewOfFile(view, 0);
  UnmapViewOfFile(view);
  CloseHandle(mapping);
  return code;
}

// Registers mapping args[0] with "stale" in it and dies holding it: backed by
// the paging file, or by file args[1] (opened exclusively) when given.
ORVO_CHILD(platform_mapping_create_and_die) {
  HANDLE file = INVALID_HANDLE_VALUE;
  if (args.size() > 1) {
    file = OpenFile(args[1], kReadWrite, 0, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return 1;
  }
  HANDLE mapping =
      CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, kGranularity, args.at(0).c_str());
  if (mapping == nullptr || GetLastError() == static_cast<DWORD>(ERROR_ALREADY_EXISTS)) return 2;
  char* view = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  if (view == nullptr) return 3;
  std::memcpy(view, "stale", 5);
  std::_Exit(0);
}

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

using PlatformViewTest = PlatformMappingTest;

TEST_F(PlatformViewTest, OffsetsMustBeGranularityMultiples) {
  SYSTEM_INFO info;
  GetSystemInfo(&info);
  EXPECT_EQ(info.dwAllocationGranularity, kGranularity);
  EXPECT_EQ(info.dwPageSize, 4096u);
  EXPECT_GE(info.dwNumberOfProcessors, 1u);

  ScopedHandle file(OpenFile(MakePagedFile(3 * kGranularity), GENERIC_READ, 0, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  const char* second = static_cast<const char*>(
      MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, kGranularity, kGranularity));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second[0], 'B');
  EXPECT_EQ(second[kGranularity - 1], 'B');
  EXPECT_TRUE(UnmapViewOfFile(second));
  EXPECT_EQ(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 4096, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MAPPED_ALIGNMENT));
}

TEST_F(PlatformViewTest, ViewsMustLieInsideTheMapping) {
  ScopedHandle file(
      OpenFile(MakePagedFile(2 * kGranularity + 100), GENERIC_READ, 0, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  const char* tail =
      static_cast<const char*>(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 2 * kGranularity, 0));
  ASSERT_NE(tail, nullptr);  // length 0: to the end, 100 bytes
  EXPECT_EQ(tail[99], 'C');
  EXPECT_TRUE(UnmapViewOfFile(tail));
  EXPECT_EQ(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 2 * kGranularity, 101), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 3 * kGranularity, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(PlatformViewTest, WriteAccessNeedsAWritableMappingAndHandle) {
  std::string path = MakePagedFile(kGranularity);
  ScopedHandle reader(OpenFile(path, GENERIC_READ, kShareAll, OPEN_EXISTING));
  EXPECT_EQ(CreateFileMappingA(reader.get(), nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ScopedHandle writer(OpenFile(path, GENERIC_WRITE, kShareAll, OPEN_EXISTING));
  EXPECT_EQ(CreateFileMappingA(writer.get(), nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  ScopedHandle both(OpenFile(path, kReadWrite, kShareAll, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(both.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  for (DWORD access : {DWORD{FILE_MAP_WRITE}, DWORD{FILE_MAP_ALL_ACCESS}}) {
    EXPECT_EQ(MapViewOfFile(mapping.get(), access, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
}

TEST_F(PlatformViewTest, LargerReadWriteMappingGrowsTheFile) {
  std::string path = dir_.File("small.bin");
  ASSERT_TRUE(MakeFile(path, "abc"));
  ScopedHandle file(OpenFile(path, kReadWrite, 0, OPEN_EXISTING));
  EXPECT_EQ(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 200000, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 200000, nullptr));
  ASSERT_TRUE(mapping.valid());
  EXPECT_EQ(GetFileSize(file.get(), nullptr), 200000u);
  char* view = static_cast<char*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 4), std::string("abc\0", 4));
  view[199999] = 'z';
  EXPECT_TRUE(UnmapViewOfFile(view));
  mapping.Close();
  file.Close();
  std::string bytes = FileBytes(path);
  ASSERT_EQ(bytes.size(), 200000u);
  EXPECT_EQ(bytes.back(), 'z');
}

TEST_F(PlatformViewTest, EmptyFileCannotBeMappedAtItsSize) {
  ScopedHandle file(OpenFile(dir_.File("empty"), kReadWrite, 0, CREATE_ALWAYS));
  EXPECT_EQ(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, nullptr),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(PlatformViewTest, ViewOutlivesItsMappingHandleAndWritesReachTheFile) {
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

TEST_F(PlatformViewTest, MappedViewForbidsCuttingTheFile) {
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

using PlatformNamedMappingTest = PlatformMappingTest;

TEST_F(PlatformNamedMappingTest, SecondCreateReturnsTheExistingMapping) {
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
  char* b = static_cast<char*>(MapViewOfFile(second.get(), FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(std::string(b, 6), "shared");
  // The existing mapping keeps its size.
  EXPECT_EQ(MapViewOfFile(second.get(), FILE_MAP_READ, 0, 0, 8192), nullptr);
  UnmapViewOfFile(a);
  UnmapViewOfFile(b);
}

TEST_F(PlatformNamedMappingTest, NameLivesAsLongAsItsHandles) {
  std::string name = UniqueName("lifetime");
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ScopedHandle created(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str()));
  ASSERT_TRUE(created.valid());
  ScopedHandle opened(OpenFileMappingA(FILE_MAP_READ, FALSE, ("Local\\" + name).c_str()));
  ASSERT_TRUE(opened.valid());
  created.Close();
  void* view = MapViewOfFile(opened.get(), FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  opened.Close();
  // A view keeps the bytes, not the name.
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(UnmapViewOfFile(view));
}

TEST_F(PlatformNamedMappingTest, MalformedNamesAreRefused) {
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                               (UniqueName("dir") + "\\sub").c_str()),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(PlatformNamedMappingTest, ChildOpensByNameThroughAnExclusivelyHeldFile) {
  std::string path = MakePagedFile(kGranularity);
  ScopedHandle file(OpenFile(path, kReadWrite, 0, OPEN_EXISTING));
  std::string name = UniqueName("crcName");
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 0, name.c_str()));
  ASSERT_TRUE(mapping.valid());
  char* view = static_cast<char*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  std::memcpy(view, "ping", 4);
  EXPECT_EQ(RunChild("platform_mapping_peer", {name, "ping", "pong"}), 0);
  EXPECT_EQ(std::string(view, 4), "pong");
  EXPECT_TRUE(UnmapViewOfFile(view));
}

TEST_F(PlatformNamedMappingTest, PagingFileMappingIsSharedWithChild) {
  std::string name = UniqueName("memory");
  ScopedHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          3 * kGranularity, name.c_str()));
  ASSERT_TRUE(mapping.valid());
  char* view = static_cast<char*>(MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  std::memcpy(view, "hello", 5);
  EXPECT_EQ(RunChild("platform_mapping_peer", {name, "hello", "HELLO"}), 0);
  EXPECT_EQ(std::string(view, 5), "HELLO");
  EXPECT_TRUE(UnmapViewOfFile(view));
  mapping.Close();
  EXPECT_EQ(RunChild("platform_mapping_peer", {name, "", ""}), 10 + ERROR_FILE_NOT_FOUND);
}

TEST_F(PlatformNamedMappingTest, NameOfADeadProcessNeitherBlocksNorMisleads) {
  std::string name = UniqueName("dead");
  ASSERT_EQ(RunChild("platform_mapping_create_and_die", {name}), 0);
  EXPECT_EQ(OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ScopedHandle fresh(
      CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str()));
  ASSERT_TRUE(fresh.valid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  const char* view = static_cast<const char*>(MapViewOfFile(fresh.get(), FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 5), std::string(5, '\0'));
  UnmapViewOfFile(view);
}

TEST_F(PlatformNamedMappingTest, CreatorAfterADeadFileMappingGetsItsOwnFile) {
  std::string name = UniqueName("deadfile");
  std::string dead_file = dir_.File("dead.bin");
  ASSERT_TRUE(MakeFile(dead_file, std::string(kGranularity, 'D')));
  ASSERT_EQ(RunChild("platform_mapping_create_and_die", {name, dead_file}), 0);
  std::string path = MakePagedFile(kGranularity);
  ScopedHandle file(OpenFile(path, kReadWrite, 0, OPEN_EXISTING));
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0, 0, name.c_str()));
  ASSERT_TRUE(mapping.valid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  const char* view = static_cast<const char*>(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(view, 5), "AAAAA");
  UnmapViewOfFile(view);
  EXPECT_EQ(FileBytes(dead_file).substr(0, 5), "stale");  // the dead process's own file
}

}  // namespace
}  // namespace orvotest
