// Every writer with a write, size change, mapping or view failing at each of
// its steps in turn, and under a kernel file size limit: it reports the
// failure, or it leaves a file its reader accepts in full. A writer whose
// completion cannot report (FreeSW, FreeAW) may also leave a file its reader
// refuses, never a short one that reads as valid (a fault found here: the
// buffered writers left such files). The writers that use the C runtime
// (classifier, passport, selection, control points) meet the size limit only.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "platform/linux/fault_injection.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::linux_api::ArmFault;
using orvo::linux_api::DisarmFaults;
using orvo::linux_api::FaultCalls;
using orvo::linux_api::FaultKind;

// kNotWritten: the reader refuses the file, or it holds what it held before.
enum class Outcome { kComplete, kNotWritten, kDamaged };

struct Writer {
  const char* name;
  std::function<void(const std::string&)> prepare;   // unarmed, before each try
  std::function<bool(const std::string&)> write;     // true: reported success
  std::function<Outcome(const std::string&)> check;  // what the reader finds
  bool completion_unreported = false;                // the last step is a void Free
};

constexpr int kRecords = 40;

// What a reader that loaded (or not) finds, whole or not.
Outcome Judge(bool loaded, bool whole) {
  return !loaded ? Outcome::kNotWritten : whole ? Outcome::kComplete : Outcome::kDamaged;
}

// What a reader that walked n records, all as written or not, found.
Outcome Walked(const std::string& path, int32_t n, bool same) {
  if (n == 0 && std::filesystem::file_size(path) == 0) return Outcome::kNotWritten;
  return same && n == kRecords ? Outcome::kComplete : Outcome::kDamaged;
}

bool WriteLayer(const std::string& path, bool binary) {
  HSW w = CreateExSW(path.c_str(), binary);
  if (w == nullptr) return false;
  bool ok = true;
  const int32_t counts[] = {3};
  for (int32_t id = 1; id <= kRecords; ++id) {
    const double metric[] = {id * 1.0, 2.0, 3.0, id * 4.0, 5.5, 6.25};
    ok = AddRecordSW(w, id, 2, counts, metric, 1) >= 0 && ok;
  }
  FreeSW(w);
  return ok;
}

Outcome CheckLayer(const std::string& path, bool binary) {
  HSR r = CreateExSR(path.c_str(), binary);
  if (r == nullptr) return Outcome::kNotWritten;
  int32_t n = 0;
  bool same = true;
  while (NextSR(r)) {
    ++n;
    double xy[2];
    std::memcpy(xy, GetMetricSR(r) + 2, sizeof(xy));
    same = same && GetIdSR(r) == n && GetVertexCountSR(r) == 3 && xy[1] == n * 4.0;
  }
  FreeSR(r);
  return Walked(path, n, same);
}

bool WriteAttributes(const std::string& path, bool binary) {
  HAW w = CreateExAW(path.c_str(), binary);
  if (w == nullptr) return false;
  bool ok = true;
  for (int32_t id = 1; id <= kRecords; ++id) {
    ok = AddRecordAW(w, id, id * 10, "ROAD") >= 0 && ok;
    AddIntAttributeAW(w, "LANES", id);
    AddAttributeAW(w, "NAME", "a street name of some length");
  }
  FreeAW(w);
  return ok;
}

Outcome CheckAttributes(const std::string& path, bool binary) {
  HAR r = CreateExAR(path.c_str(), binary);
  if (r == nullptr) return Outcome::kNotWritten;
  int32_t n = 0;
  bool same = true;
  while (NextAR(r)) {
    ++n;
    char name[64] = {};
    GetAttributeAR(r, 1, name, sizeof(name));
    same = same && GetIdAR(r) == n && GetAttributeCountAR(r) == 2 && GetIntAttributeAR(r, 0) == n &&
           std::strcmp(name, "a street name of some length") == 0;
  }
  FreeAR(r);
  return Walked(path, n, same);
}

std::vector<Writer> Writers() {
  auto nothing = [](const std::string&) {};
  std::vector<Writer> writers;
  for (bool binary : {false, true}) {
    writers.push_back({binary ? "spatial binary" : "spatial text", nothing,
                       [binary](const std::string& p) { return WriteLayer(p, binary); },
                       [binary](const std::string& p) { return CheckLayer(p, binary); }, true});
    writers.push_back({binary ? "attribute binary" : "attribute text", nothing,
                       [binary](const std::string& p) { return WriteAttributes(p, binary); },
                       [binary](const std::string& p) { return CheckAttributes(p, binary); },
                       true});
  }
  writers.push_back({"classifier save", nothing,
                     [](const std::string& p) {
                       HCS cs = CreateCS();
                       for (int i = 0; i < kRecords; ++i) {
                         const std::string id = "F" + std::to_string(i);
                         AddFeatureCS(cs, id.c_str());
                         SetNameFT(GetFeatureCS(cs, id.c_str()), "a feature");
                       }
                       bool ok = SaveFileCS(cs, p.c_str());
                       FreeCS(cs);
                       return ok;
                     },
                     [](const std::string& p) {
                       HCS cs = CreateCS();
                       bool loaded = LoadFileCS(cs, p.c_str());
                       int32_t n = GetFeatureCountCS(cs);
                       HFT last = GetFeatureCS(cs, "F39");
                       char name[32] = {};
                       if (last != nullptr) GetNameFT(last, name, sizeof(name));
                       FreeCS(cs);
                       return Judge(loaded, n == kRecords && std::strcmp(name, "a feature") == 0);
                     }});
  writers.push_back({"passport save", nothing,
                     [](const std::string& p) {
                       HMP mp = CreateMP();
                       SetFileNameMP(mp, p.c_str());
                       SetAliasMP(mp, "map");
                       for (int i = 0; i < kRecords; ++i)
                         AddAttributeMP(mp, ("K" + std::to_string(i)).c_str(), "value");
                       bool ok = SaveMP(mp);
                       FreeMP(mp);
                       return ok;
                     },
                     [](const std::string& p) {
                       HMP mp = CreateMP();
                       bool loaded = LoadMP(mp, p.c_str());
                       int32_t n = GetAttributeCountMP(mp);
                       char value[16] = {};
                       bool last = GetAttributeMP(mp, "K39", value, sizeof(value));
                       FreeMP(mp);
                       return Judge(loaded,
                                    n == kRecords && last && std::strcmp(value, "value") == 0);
                     }});
  writers.push_back({"selection save", nothing,
                     [](const std::string& p) {
                       HSE s = CreateSE();
                       for (int32_t id = 1; id <= 4000; ++id) AddSE(s, id * 3);
                       bool ok = SaveSE(s, p.c_str());
                       FreeSE(s);
                       return ok;
                     },
                     [](const std::string& p) {
                       HSE s = CreateSE();
                       bool loaded = LoadSE(s, p.c_str());
                       bool all = FindSE(s, 3) && FindSE(s, 12000) && !FindSE(s, 12003);
                       FreeSE(s);
                       return Judge(loaded, all);
                     }});
  writers.push_back(
      {"raster create", [](const std::string& p) { std::remove(p.c_str()); },
       [](const std::string& p) { return CreateRaster(p.c_str(), 700, 300, 256, 256, 2, 512); },
       [](const std::string& p) {
         if (!std::filesystem::exists(p)) return Outcome::kNotWritten;
         IRaster* r = OpenRaster(p.c_str(), 0, true);
         if (r == nullptr) return Outcome::kNotWritten;
         bool whole = r->GetFileSize() == 512 + 6 * 256 * 256 * 2 &&
                      std::filesystem::file_size(p) == 512 + 6 * 256 * 256 * 2 &&
                      r->GetTile(2, 1) != nullptr;
         r->Release();
         return Judge(true, whole);
       }});
  writers.push_back({"raster head write",
                     [](const std::string& p) {
                       std::remove(p.c_str());
                       ASSERT_TRUE(CreateRaster(p.c_str(), 70, 30, 16, 16, 1, 512));
                     },
                     [](const std::string& p) {
                       std::vector<uint8_t> head(512, 0x5A);
                       return WriteRasterHead(p.c_str(), head.data(), 512) == 512;
                     },
                     [](const std::string& p) {
                       std::vector<uint8_t> head(512);
                       if (ReadRasterHead(p.c_str(), head.data(), 512) != 512)
                         return Outcome::kDamaged;
                       size_t written = 0;
                       for (size_t i = 88; i < 512; ++i) written += head[i] == 0x5A;
                       return written == 512 - 88 ? Outcome::kComplete
                              : written == 0      ? Outcome::kNotWritten
                                                  : Outcome::kDamaged;
                     }});
  writers.push_back({"raster bound", nothing,
                     [](const std::string& p) {
                       BOUND b = {1, 2, 3, 4};
                       return WriteRasterBound(p.c_str(), 10, 20, &b);
                     },
                     [](const std::string& p) {
                       ICoords* c = CreateCoords(p.c_str(), 4);
                       if (c == nullptr) return Outcome::kNotWritten;
                       bool whole = c->GetCount() == 4 && c->GetValue(3, 3) == 19.0;
                       c->Release();
                       return Judge(true, whole);
                     }});
  return writers;
}

// A reported success must leave a file its reader takes whole; a writer whose
// completion cannot report may leave one the reader refuses, never a damaged
// one that reads.
void ExpectAcceptable(const Writer& w, bool reported, Outcome outcome, const std::string& where) {
  EXPECT_TRUE(!reported || outcome == Outcome::kComplete ||
              (w.completion_unreported && outcome == Outcome::kNotWritten))
      << w.name << ": " << where << " and the writer reported success over a file its reader finds "
      << (outcome == Outcome::kNotWritten ? "unreadable" : "short or damaged");
  if (w.completion_unreported) {
    EXPECT_NE(outcome, Outcome::kDamaged)
        << w.name << ": " << where << " left a damaged file that reads";
  }
}

TEST(WriterFaults, EveryStepFailingGivesAFailureOrAWholeFile) {
  orvotest::TempDir dir;
  for (const Writer& w : Writers()) {
    const std::string path = dir.File(std::string("out-") + w.name);
    for (FaultKind kind :
         {FaultKind::kWrite, FaultKind::kResize, FaultKind::kMapping, FaultKind::kView}) {
      for (int64_t nth = 1;; ++nth) {
        w.prepare(path);
        ArmFault(kind, nth);
        const bool reported = w.write(path);
        const int64_t calls = FaultCalls(kind);
        DisarmFaults();
        const Outcome outcome = w.check(path);
        if (nth > calls) {
          // The fault was never reached: the plain run.
          EXPECT_TRUE(reported) << w.name;
          EXPECT_EQ(outcome, Outcome::kComplete) << w.name;
          break;
        }
        ExpectAcceptable(w, reported, outcome,
                         "fault kind " + std::to_string(static_cast<int>(kind)) + ", call " +
                             std::to_string(nth) + " of " + std::to_string(calls) + " failed");
        ASSERT_LT(nth, 100000) << w.name << ": no end to the calls";
      }
    }
  }
}

// Each writer in a child process whose RLIMIT_FSIZE cuts its output short
// (SIGXFSZ ignored: writes fail with EFBIG); its exit status is what the
// writer reported.
TEST(WriterFaults, FileSizeLimitGivesAFailureOrAWholeFile) {
  orvotest::TempDir dir;
  for (const Writer& w : Writers()) {
    const std::string path = dir.File(std::string("limited-") + w.name);
    for (rlim_t limit : {rlim_t{0}, rlim_t{100}, rlim_t{1000}, rlim_t{6000}}) {
      w.prepare(path);
      std::fflush(nullptr);
      pid_t child = fork();
      ASSERT_GE(child, 0);
      if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit r = {limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        _exit(w.write(path) ? 1 : 0);
      }
      int status = 0;
      ASSERT_EQ(waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFEXITED(status)) << w.name << " limit " << limit;
      const bool reported = WEXITSTATUS(status) == 1;
      const Outcome outcome = w.check(path);
      ExpectAcceptable(w, reported, outcome, "limit " + std::to_string(limit) + " bytes");
    }
  }
}

}  // namespace
