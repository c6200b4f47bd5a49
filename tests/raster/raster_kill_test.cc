// One raster shared by four processes through its named mapping: each writes
// its own pixels and reads the others'; one of them, the first opener that
// holds the file, is killed in the middle. The others go on, every pixel a
// survivor wrote is in the file afterwards, and a new opener opens it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#endif

#include "orvoapi.h"
#include "platform/win32.h"
#include "tests/support/child.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

constexpr int32_t kSide = 64;  // pixels a side, 4-byte pixels, 16 x 16 tiles
constexpr int kProcesses = 4;  // process 0 is killed

uint32_t PixelValue(int process, int32_t index) {
  return (static_cast<uint32_t>(process + 1) << 24) | static_cast<uint32_t>(index);
}

// Pixel index i belongs to process i % kProcesses.
bool WriteShare(IRaster* r, int process, int32_t from, int32_t to) {
  for (int32_t i = from + process; i < to; i += kProcesses) {
    uint32_t v = PixelValue(process, i);
    if (!r->SetPixel(i % kSide, i / kSide, &v)) return false;
  }
  return true;
}

// Progress is told through one small file a process ("path.N"), made once
// its first half is written; N = kProcesses is the parent's word that process
// 0 is dead.
std::string MarkerPath(const std::string& path, int process) {
  return path + "." + std::to_string(process);
}

bool SetMarker(const std::string& path, int process) {
  std::FILE* f = std::fopen(MarkerPath(path, process).c_str(), "wb");
  return f != nullptr && std::fclose(f) == 0;
}

// Polls until the marker is there; false after a minute.
bool WaitForMarker(const std::string& path, int process) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(MarkerPath(path, process))) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

// args: path, process number. Process 0 writes half of its pixels, says so
// and then writes on without end until it is killed. The others write half,
// say so, wait for the parent's word that process 0 is dead, write the rest,
// and read until every survivor's pixels are there.
ORVO_CHILD(raster_sharer) {
  const std::string& path = args.at(0);
  const int process = std::stoi(args.at(1));
  IRaster* r = OpenRaster(path.c_str(), 0, false);
  if (r == nullptr) return 2;
  const int32_t half = kSide * kSide / 2;
  if (!WriteShare(r, process, 0, half) || !SetMarker(path, process)) return 3;
  if (process == 0) {
    for (;;) WriteShare(r, 0, half, kSide * kSide);
  }
  if (!WaitForMarker(path, kProcesses)) return 4;
  if (!WriteShare(r, process, half, kSide * kSide)) return 5;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (bool all = false; !all;) {
    if (std::chrono::steady_clock::now() > end) return 6;
    all = true;
    for (int32_t i = 0; i < kSide * kSide && all; ++i) {
      if (i % kProcesses == 0) continue;
      uint32_t v = 0;
      all = r->GetPixel(i % kSide, i / kSide, &v) && v == PixelValue(i % kProcesses, i);
    }
  }
  r->Release();
  return 0;
}

struct Child {
  PROCESS_INFORMATION info{};
  bool started = false;
};

Child Start(const std::string& path, int process) {
  Child child;
  std::string line = ChildCommandLine("raster_sharer", {path, std::to_string(process)});
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  child.started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &child.info) != FALSE;
  return child;
}

void Kill(const Child& child) {
#ifdef _WIN32
  TerminateProcess(child.info.hProcess, 9);
#else
  kill(static_cast<pid_t>(child.info.dwProcessId), SIGKILL);
#endif
}

int Wait(const Child& child) {
  WaitForSingleObject(child.info.hProcess, INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(child.info.hProcess, &code)) code = 0xFFFFFFFF;
  CloseHandle(child.info.hThread);
  CloseHandle(child.info.hProcess);
  return static_cast<int>(code);
}

TEST(RasterSharedByProcesses, SurvivorsOfAKilledPeerKeepEveryPixel) {
  TempDir dir;
  const std::string path = dir.File("shared.raster");
  ASSERT_TRUE(CreateRaster(path.c_str(), kSide, kSide, 16, 16, 4, 0));
  // Process 0 opens first and so holds the file for the others.
  std::vector<Child> children;
  children.push_back(Start(path, 0));
  ASSERT_TRUE(children[0].started);
  ASSERT_TRUE(WaitForMarker(path, 0));
  for (int p = 1; p < kProcesses; ++p) {
    children.push_back(Start(path, p));
    ASSERT_TRUE(children.back().started);
  }
  for (int p = 1; p < kProcesses; ++p) ASSERT_TRUE(WaitForMarker(path, p)) << p;
  Kill(children[0]);
  Wait(children[0]);
  ASSERT_TRUE(SetMarker(path, kProcesses));
  for (int p = 1; p < kProcesses; ++p) EXPECT_EQ(Wait(children[p]), 0) << "process " << p;

  IRaster* r = OpenRaster(path.c_str(), 0, true);
  ASSERT_NE(r, nullptr) << "a new opener after the kill";
  int missing = 0;
  for (int32_t i = 0; i < kSide * kSide; ++i) {
    uint32_t v = 0;
    ASSERT_TRUE(r->GetPixel(i % kSide, i / kSide, &v));
    const int owner = i % kProcesses;
    // The killed process's first half was written before it said so.
    if ((owner != 0 || i < kSide * kSide / 2) && v != PixelValue(owner, i)) ++missing;
  }
  EXPECT_EQ(missing, 0);
  r->Release();
}

}  // namespace
}  // namespace orvotest
