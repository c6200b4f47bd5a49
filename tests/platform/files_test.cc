// Contract tests of the file services: share modes within and across
// processes, creation dispositions, the file pointer, deletion and handle
// validation. They hold on Windows and on Linux alike. (Reads, and writes at
// offsets, are covered through the library's file readers and writers.)
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

// Opens args[0] with access args[1] and share args[2]; exits with 0 on
// success, else with GetLastError().
ORVO_CHILD(platform_try_open) {
  HANDLE file = OpenFile(args.at(0), static_cast<DWORD>(std::stoul(args.at(1))),
                         static_cast<DWORD>(std::stoul(args.at(2))), OPEN_EXISTING);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  CloseHandle(file);
  return 0;
}

int TryOpenInChild(const std::string& path, DWORD access, DWORD share) {
  return RunChild("platform_try_open", {path, std::to_string(access), std::to_string(share)});
}

class PlatformFilesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MakeFile(path_, "0123456789")); }
  TempDir dir_;
  const std::string path_ = dir_.File("data.bin");
};

TEST_F(PlatformFilesTest, ExclusiveOpenRefusesEveryOtherOpenerAndNewModesMustAdmitOpenAccess) {
  ScopedHandle exclusive(OpenFile(path_, kReadWrite, 0, OPEN_EXISTING));
  ASSERT_TRUE(exclusive.valid());
  for (DWORD access : {DWORD{GENERIC_READ}, DWORD{GENERIC_WRITE}, kReadWrite}) {
    EXPECT_EQ(OpenError(path_, access, kShareAll, OPEN_EXISTING), ERROR_SHARING_VIOLATION);
  }
  // Truncating dispositions are checked before anything is cut.
  EXPECT_EQ(OpenError(path_, GENERIC_WRITE, kShareAll, CREATE_ALWAYS), ERROR_SHARING_VIOLATION);
  exclusive.Close();
  EXPECT_EQ(FileBytes(path_), "0123456789");
  EXPECT_EQ(OpenError(path_, GENERIC_READ, 0, OPEN_EXISTING), 0);
  // A new share mode must admit the access of the handles already open.
  ScopedHandle writer(OpenFile(path_, GENERIC_WRITE, kShareAll, OPEN_EXISTING));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(OpenError(path_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
            ERROR_SHARING_VIOLATION);
  EXPECT_EQ(OpenError(path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING), 0);
}

TEST_F(PlatformFilesTest, SharedReadersCoexistAndKeepWritersOutWhileOneRemains) {
  ScopedHandle first(OpenFile(path_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  ScopedHandle second(OpenFile(path_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
  ASSERT_TRUE(first.valid());
  ASSERT_TRUE(second.valid());
  EXPECT_EQ(TryOpenInChild(path_, GENERIC_READ, FILE_SHARE_READ), 0);
  EXPECT_EQ(TryOpenInChild(path_, GENERIC_WRITE, kShareAll), ERROR_SHARING_VIOLATION);
  // A reader that would not let the existing readers on is refused as well.
  EXPECT_EQ(OpenError(path_, GENERIC_READ, FILE_SHARE_WRITE, OPEN_EXISTING),
            ERROR_SHARING_VIOLATION);
  second.Close();  // the other handle's share mode still holds
  EXPECT_EQ(OpenError(path_, GENERIC_WRITE, kShareAll, OPEN_EXISTING), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(TryOpenInChild(path_, GENERIC_WRITE, kShareAll), ERROR_SHARING_VIOLATION);
}

TEST_F(PlatformFilesTest, OfRacingExclusiveOpenersExactlyOneWins) {
  constexpr int kRounds = 200;
  std::vector<std::atomic<int>> wins(kRounds);
  // Both threads wait at step n until both have passed step n - 1 (a spin on
  // one counter: std::barrier's waiting hangs now and then under wine).
  std::atomic<int> arrivals{0};
  auto meet = [&](int step) {
    ++arrivals;
    while (arrivals.load() < 2 * step) std::this_thread::yield();
  };
  auto racer = [&] {
    for (int round = 0; round < kRounds; ++round) {
      meet(2 * round + 1);
      HANDLE file = OpenFile(path_, kReadWrite, 0, OPEN_EXISTING);
      if (file != INVALID_HANDLE_VALUE) ++wins[round];
      meet(2 * round + 2);  // both have tried before the winner lets go
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  };
  std::thread first(racer), second(racer);
  first.join();
  second.join();
  for (int round = 0; round < kRounds; ++round) EXPECT_EQ(wins[round].load(), 1) << round;
}

TEST_F(PlatformFilesTest, MappingKeepsTheBytesButNotTheClosedHandlesShareMode) {
  ScopedHandle file(OpenFile(path_, kReadWrite, 0, OPEN_EXISTING));
  ASSERT_TRUE(file.valid());
  ScopedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  ASSERT_TRUE(mapping.valid());
  file.Close();
  ScopedHandle other(OpenFile(path_, GENERIC_READ, kShareAll, OPEN_EXISTING));
  EXPECT_TRUE(other.valid());
  void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(std::string(static_cast<const char*>(view), 10), "0123456789");
  EXPECT_TRUE(UnmapViewOfFile(view));
}

TEST_F(PlatformFilesTest, RefusedOpensTellTheirReasonByDisposition) {
  const struct {
    std::string path;
    DWORD access, disposition;
    long code;
  } cases[] = {
      {path_, kReadWrite, CREATE_NEW, ERROR_FILE_EXISTS},
      {dir_.File("absent.bin"), GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {dir_.File("absent.bin"), GENERIC_WRITE, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
      {dir_.File("nodir/absent.bin"), kReadWrite, CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
      {dir_.path(), GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {dir_.File("a*b"), kReadWrite, CREATE_ALWAYS, ERROR_INVALID_NAME},
      {path_, GENERIC_READ, 9, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OpenError(c.path, c.access, kShareAll, c.disposition), c.code) << c.path;
  EXPECT_EQ(OpenError(dir_.File("new.bin"), kReadWrite, 0, CREATE_NEW), 0);
}

TEST_F(PlatformFilesTest, PointerHighPartMovesItNegativeTargetsLeaveItAndSetEndOfFileUsesIt) {
  ScopedHandle file(OpenFile(path_, kReadWrite, 0, OPEN_EXISTING));
  LONG high = 1;
  EXPECT_EQ(SetFilePointer(file.get(), 5, &high, FILE_BEGIN), 5u);
  EXPECT_EQ(high, 1);
  high = -1;  // the 64-bit distance -6
  EXPECT_EQ(SetFilePointer(file.get(), -6, &high, FILE_CURRENT), 0xFFFFFFFFu);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(high, 0);
  ASSERT_EQ(SetFilePointer(file.get(), 4, nullptr, FILE_BEGIN), 4u);
  high = -1;
  EXPECT_EQ(SetFilePointer(file.get(), 0, &high, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(SetFilePointer(file.get(), 0, nullptr, FILE_CURRENT), 4u);
  EXPECT_EQ(SetFilePointer(file.get(), 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  // SetEndOfFile at the pointer (4) cuts the file, and extends it with zeros.
  ASSERT_TRUE(SetEndOfFile(file.get()));
  EXPECT_EQ(GetFileSize(file.get(), nullptr), 4u);
  SetFilePointer(file.get(), 6, nullptr, FILE_BEGIN);
  ASSERT_TRUE(SetEndOfFile(file.get()));
  file.Close();
  EXPECT_EQ(FileBytes(path_), std::string("0123\0\0", 6));
}

TEST_F(PlatformFilesTest, SizeOfAllOnesIsNotAnError) {
  ScopedHandle file(OpenFile(dir_.File("big"), kReadWrite, 0, CREATE_ALWAYS));
  LONG high = 0;
  SetFilePointer(file.get(), -1, &high, FILE_BEGIN);  // 0xFFFFFFFF, sparse
  if (!SetEndOfFile(file.get())) {
    const DWORD error = GetLastError();
    ASSERT_TRUE(error == ERROR_DISK_FULL || error == ERROR_FILE_TOO_LARGE ||
                error == ERROR_INVALID_PARAMETER)
        << error;
    GTEST_SKIP() << "no room for a 4 GiB file";
  }
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD size_high = 9;
  EXPECT_EQ(GetFileSize(file.get(), &size_high), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_EQ(size_high, 0u);
}

TEST_F(PlatformFilesTest, DeleteNeedsEveryHandleToShareDeleteAndTellsWhyItFails) {
  EXPECT_EQ(ErrorOf(DeleteFileA(dir_.File("absent").c_str())), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ErrorOf(DeleteFileA(dir_.File("nodir/absent").c_str())), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(ErrorOf(DeleteFileA(dir_.path().c_str())), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ErrorOf(DeleteFileA(dir_.File("a?b").c_str())), ERROR_INVALID_NAME);
  {
    ScopedHandle reader(OpenFile(path_, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    ASSERT_TRUE(reader.valid());
    EXPECT_EQ(ErrorOf(DeleteFileA(path_.c_str())), ERROR_SHARING_VIOLATION);
  }
  ScopedHandle sharing(OpenFile(path_, GENERIC_READ, kShareAll, OPEN_EXISTING));
  ASSERT_TRUE(sharing.valid());
  EXPECT_TRUE(DeleteFileA(path_.c_str())) << GetLastError();
  EXPECT_EQ(OpenFile(path_, GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
}

TEST_F(PlatformFilesTest, HandleAccessIsEnforcedAndStaleAndForeignHandlesAreRefused) {
  ScopedHandle reader(OpenFile(path_, GENERIC_READ, kShareAll, OPEN_EXISTING));
  ScopedHandle writer(OpenFile(path_, GENERIC_WRITE, kShareAll, OPEN_EXISTING));
  char byte = 'x';
  DWORD done = 0;
  EXPECT_EQ(ErrorOf(WriteFile(reader.get(), &byte, 1, &done, nullptr)), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ErrorOf(ReadFile(writer.get(), &byte, 1, &done, nullptr)), ERROR_ACCESS_DENIED);
  HANDLE file = OpenFile(path_, GENERIC_READ, kShareAll, OPEN_EXISTING);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FindClose(file));  // not a search handle
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  ASSERT_TRUE(CloseHandle(file));
  EXPECT_EQ(ErrorOf(CloseHandle(file)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(ErrorOf(ReadFile(file, &byte, 1, &done, nullptr)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(ErrorOf(CloseHandle(nullptr)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(ErrorOf(CloseHandle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x1234)))),
            ERROR_INVALID_HANDLE);
}

}  // namespace
}  // namespace orvotest
