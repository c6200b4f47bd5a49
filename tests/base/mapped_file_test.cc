// Mapped-file readers and writer: windows, lines, final sizes, large files.
#include <cstring>
#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/file_reader.h"
#include "base/file_reader64.h"
#include "base/file_writer64.h"
#include "base/text_file_reader64.h"
#include "tests/support/temp_dir.h"

namespace orvo {
namespace {

using orvotest::ReadFileBytes;
using orvotest::TempDir;
using orvotest::WriteFileBytes;

TEST(LineReaders, LinesAcrossWindowBoundaries) {
  TempDir dir;
  std::string path = dir.File("lines.txt");
  // Line ends and cut pieces are the tests of the INI, selection, spatial and
  // attribute readers; here lines across the 64-bit reader's window boundaries.
  std::string text;
  for (int i = 0; i < 300000; ++i) text += "row " + std::to_string(i) + "\r\n";
  WriteFileBytes(path, text);
  TTextFileReader64 reader(path.c_str(), TViews::kWindows);
  char line[2048];
  int i = 0;
  while (reader.ReadLine(line, 2047) && ("row " + std::to_string(i)) == line) ++i;
  EXPECT_EQ(i, 300000);
}

TEST(FileReader64, RangesAcrossWindowsAndInsideTheFile) {
  TempDir dir;
  std::string path = dir.File("data.bin");
  std::string bytes(3 * 1048576 + 17, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
  WriteFileBytes(path, bytes);
  TFileReader64 reader(path.c_str(), 1000000, TViews::kWindows);
  EXPECT_EQ(reader.Size(), static_cast<int64_t>(bytes.size()));
  // A range across a window boundary comes back contiguous.
  const uint8_t* p = reader.MapRange(1048576 - 5, 10);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::memcmp(p, bytes.data() + 1048576 - 5, 10), 0);
  p = reader.MapRange(reader.Size() - 4, 4);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::memcmp(p, bytes.data() + bytes.size() - 4, 4), 0);
  EXPECT_EQ(reader.MapRange(reader.Size() - 4, 5), nullptr);
  EXPECT_EQ(reader.MapRange(-1, 1), nullptr);
  EXPECT_FALSE(reader.EnsureWindow(0, -1));
  EXPECT_FALSE(reader.EnsureWindow(INT64_MAX, 2));
  // A 64-bit process sees the whole file in one view: what the first access
  // handed out stays valid beside the last.
  TFileReader64 whole(path.c_str(), 1000000);
  const uint8_t* first = whole.MapRange(0, 4);
  const uint8_t* last = whole.MapRange(whole.Size() - 4, 4);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(std::memcmp(last, bytes.data() + bytes.size() - 4, 4), 0);
  if (sizeof(void*) >= 8) {
    EXPECT_EQ(last, first + whole.Size() - 4);
  }
}

#ifndef _WIN32
// Pieces that overflow the buffer hand the file what lies before the last
// 64 KiB boundary and keep the rest. A file that refuses bytes (here: the
// process's file size limit) fails the write that hands them on; they are
// kept for a later try, and the file ends up with every piece reported
// written, in order.
TEST(FileWriter64, RefusedBytesAreReportedAndKept) {
  TempDir dir;
  std::string path = dir.File("limited.bin");
  std::string piece(1000, 'x');
  std::string expected;
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*old_handler)(int) = signal(SIGXFSZ, SIG_IGN);
  {
    TFileWriter64 writer(path.c_str(), 65536);  // a buffer of two granules
    struct rlimit limit = saved;
    limit.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    bool refused = false;
    for (int k = 0; k < 400 && !refused; ++k) {
      for (size_t i = 0; i < piece.size(); ++i) piece[i] = static_cast<char>((k * 31 + i) % 251);
      refused = !writer.Write(piece.data(), static_cast<int64_t>(piece.size()));
      if (!refused) expected += piece;
    }
    EXPECT_TRUE(refused);
    EXPECT_FALSE(writer.Flush());
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_TRUE(writer.Flush());
    EXPECT_TRUE(writer.Write(piece.data(), static_cast<int64_t>(piece.size())));
    expected += piece;
  }
  signal(SIGXFSZ, old_handler);
  EXPECT_GT(expected.size(), 100000u);
  EXPECT_TRUE(ReadFileBytes(path) == expected);
}
#endif

TEST(FileWriter64, ReplacesOldFilesWritesAnywhereAndFlushes) {
  TempDir dir;
  std::string path = dir.File("out.bin");
  WriteFileBytes(path, std::string(5000000, 'x'));
  {
    TFileWriter64 writer(path.c_str(), 1000);
    EXPECT_EQ(writer.Tell(), 0);
    EXPECT_TRUE(writer.Write("head", 4));
    EXPECT_TRUE(writer.Flush());
    EXPECT_EQ(ReadFileBytes(path), "head");
    uint8_t* p = writer.MapRange(4, 2);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "56", 2);
    EXPECT_EQ(writer.Tell(), 4);  // MapRange leaves the write position
    writer.Seek(200000);          // several windows on
    EXPECT_TRUE(writer.Write("tail", 4));
    writer.Seek(2);
    EXPECT_TRUE(writer.Write("AD", 2));
    EXPECT_FALSE(writer.Write(nullptr, 3));
    EXPECT_EQ(writer.LogicalSize(), 200004);
  }
  EXPECT_EQ(ReadFileBytes(path), "heAD56" + std::string(200000 - 6, '\0') + "tail");
}

// Files above 4 GiB: a sparse file written at an offset past 4 GiB.
TEST(LargeFiles, PositionsPastFourGibRoundTrip) {
  TempDir dir;
  std::string path = dir.File("sparse.bin");
  const int64_t far = (int64_t{5} << 30) + 123;
  bool written = false;
  try {
    TFileWriter64 writer(path.c_str(), 1000000);
    writer.Seek(far);
    written = writer.Write("beyond4G\r\nlast", 14);
  } catch (const char*) {
  }
  if (!written || std::filesystem::file_size(path) != static_cast<uintmax_t>(far + 14))
    GTEST_SKIP() << "the file system cannot hold a sparse file of 5 GiB here";
  TFileReader64 reader(path.c_str(), 1000000);
  EXPECT_EQ(reader.Size(), far + 14);
  const uint8_t* p = reader.MapRange(far, 8);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 8), "beyond4G");
  TTextFileReader64 lines(path.c_str());
  ASSERT_TRUE(lines.Seek(far));
  char buffer[32];
  ASSERT_TRUE(lines.ReadLine(buffer, 31));
  EXPECT_STREQ(buffer, "beyond4G");
  ASSERT_TRUE(lines.ReadLine(buffer, 31));
  EXPECT_STREQ(buffer, "last");
  EXPECT_EQ(lines.Tell(), far + 14);
  EXPECT_THROW(TFileReader whole(path.c_str()), const char*);  // too large for 32-bit sizes
}

}  // namespace
}  // namespace orvo
