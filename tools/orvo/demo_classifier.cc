// Demo: a small classifier loaded from memory, values checked with reasons,
// saved and loaded back.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tools/orvo/demo.h"

namespace orvotool {
namespace {

const char kClassifier[] =
    "[attribute.lanes]\r\nname1=Lanes\r\ntype=int\r\nmin=\"1\"\r\nmax=\"6\"\r\n"
    "value1=\"1\",\"one lane\"\r\nvalue2=\"2\",\"two lanes\"\r\nvalue3=\"4\",\"four lanes\"\r\n"
    "\r\n[attribute.surface]\r\nname1=Surface\r\ntype=varchar[16]\r\n"
    "value1=\"asphalt\",\"paved\"\r\nvalue2=\"gravel\",\"unpaved\"\r\n"
    "\r\n[feature.road]\r\nname1=Road\r\nlocal=LIN\r\nattributes=lanes,surface,\r\n"
    "graph=road_line\r\n"
    "\r\n[graph.road_line]\r\nanno=\"thin black line\"\r\nstd=12\r\npriority=5\r\n";

void ORVO_CDECL PrintReport(int32_t code, const char* text, void*) {
  std::printf("  (error notification %d: %s)\n", code, text);
}

// Checks one value and prints the verdict with its reason.
bool Check(const HostLibrary& lib, HAT attribute, const char* value, bool expected) {
  bool accepted = ORVO_FN(lib, CheckStringAT)(attribute, value);
  char reason[128] = {0};
  ORVO_FN(lib, GetReasonAT)(attribute, reason, sizeof(reason) - 1);
  std::printf("  check \"%s\": %s%s%s\n", value, accepted ? "accepted" : "refused",
              reason[0] ? ", " : "", reason);
  return accepted == expected;
}

}  // namespace

void DemoClassifier(const HostLibrary& lib, const std::string& dir, Checker& check) {
  std::printf("classifier (features, attributes with allowed values and limits)\n");
  ORVO_FN(lib, SetErrorNotifyHook)(PrintReport, nullptr);
  HCS cs = ORVO_FN(lib, CreateCS)();
  bool loaded = ORVO_FN(lib, LoadMemoryCS)(cs, kClassifier, sizeof(kClassifier) - 1);
  char id[32] = {0};
  ORVO_FN(lib, GetFeatureIdCS)(cs, 0, id, sizeof(id) - 1);
  check.Expect(loaded && ORVO_FN(lib, GetFeatureCountCS)(cs) == 1 && std::strcmp(id, "ROAD") == 0,
               "LoadMemoryCS reads one feature, ROAD");
  HFT road = ORVO_FN(lib, GetFeatureCS)(cs, "road");
  check.Expect(road != nullptr && ORVO_FN(lib, GetAttributeCountFT)(road) == 2,
               "ROAD carries two attributes");

  HAT lanes = ORVO_FN(lib, GetAttributeCS)(cs, "lanes");
  HAT surface = ORVO_FN(lib, GetAttributeCS)(cs, "Surface");
  bool verdicts = lanes != nullptr && surface != nullptr && Check(lib, lanes, "2", true) &&
                  Check(lib, lanes, "3", false) && Check(lib, lanes, "9", false) &&
                  Check(lib, surface, "GRAVEL", true) && Check(lib, surface, "sand", false);
  check.Expect(verdicts, "values are checked against allowed values and limits");

  std::string path = (std::filesystem::path(dir) / "demo.cls").string();
  bool saved = ORVO_FN(lib, SaveFileCS)(cs, path.c_str());
  HCS again = ORVO_FN(lib, CreateCS)();
  bool reloaded = ORVO_FN(lib, LoadFileCS)(again, path.c_str());
  check.Expect(saved && reloaded && ORVO_FN(lib, GetAttributeCountCS)(again) == 2,
               "SaveFileCS and LoadFileCS round-trip the classifier");
  bool missing = ORVO_FN(lib, LoadFileCS)(again, (path + ".missing").c_str());
  check.Expect(!missing, "a missing classifier file is reported and refused");
  ORVO_FN(lib, FreeCS)(again);
  ORVO_FN(lib, FreeCS)(cs);
  ORVO_FN(lib, SetErrorNotifyHook)(nullptr, nullptr);
}

}  // namespace orvotool
