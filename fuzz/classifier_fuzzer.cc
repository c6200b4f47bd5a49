// Classifier files through LoadMemoryCS: every getter of every definition and
// the value checks of every attribute, then the promise that what saves
// loads back the same.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/scratch.h"
#include "orvoapi.h"

namespace {

// Texts come back by the bounded copy rule: a full buffer has no NUL.
template <class H>
std::string Text(int32_t (*get)(H, char*, int32_t), H h) {
  char buffer[4097];
  get(h, buffer, 4096);
  buffer[4096] = '\0';
  get(h, buffer, 1);  // a one-byte buffer takes the first byte only
  get(h, buffer, 4096);
  return buffer;
}

template <class H>
std::string Indexed(int32_t (*get)(H, int32_t, char*, int32_t), H h, int32_t i) {
  char buffer[4097];
  get(h, i, buffer, 4096);
  buffer[4096] = '\0';
  return buffer;
}

std::string Id(int32_t (*get)(HCS, int32_t, char*, int32_t), HCS cs, int32_t i) {
  return Indexed(get, cs, i);
}

// Default, unit and limits are saved trimmed of C white space.
std::string Trimmed(std::string text) {
  const char* blanks = " \t\n\v\f\r";
  text.erase(0, std::min(text.size(), text.find_first_not_of(blanks)));
  text.erase(text.find_last_not_of(blanks) + 1);
  return text;
}

volatile int64_t g_sink;

// The value checks of an attribute on a text, as int, double and string.
// Their results are not compared over the round trip: a limit of white space
// checks on load and is not saved.
void Checks(HAT a, const std::string& text) {
  g_sink =
      g_sink + CheckStringAT(a, text.c_str()) + static_cast<int64_t>(Text(GetReasonAT, a).size());
  g_sink = g_sink + CheckIntAT(a, std::atoi(text.c_str()));
  g_sink = g_sink + CheckDoubleAT(a, std::strtod(text.c_str(), nullptr)) +
           static_cast<int64_t>(Text(GetReasonAT, a).size());
  g_sink = g_sink + FindValueIndexAT(a, text.c_str());
}

std::string DumpAttribute(HAT a) {
  int32_t values = GetValueCountAT(a);
  // A saved attribute with values and without default comes back with its
  // first value as default.
  std::string default_text = Trimmed(Text(GetDefaultAT, a));
  if (default_text.empty() && values > 0) default_text = Trimmed(Indexed(GetValueAT, a, 0));
  // Limits are saved trimmed and only while the range check is on; they come
  // back as a pair only when both are left.
  std::string min = Trimmed(Text(GetMinAT, a)), max = Trimmed(Text(GetMaxAT, a));
  const bool pair = HasLimitsAT(a) && !min.empty() && !max.empty();
  std::string out = Trimmed(Text(GetIdAT, a)) + "|" + Text(GetNameAT, a) + "|" +
                    Text(GetName2AT, a) + "|" + Text(GetAnnoAT, a) + "|" +
                    std::to_string(GetDataTypeAT(a)) + "|" + Text(GetDataSubTypeAT, a) + "|" +
                    default_text + "|" + (pair ? min + "|" + max : "|") + "|" +
                    Trimmed(Text(GetUnitAT, a)) + "|" + std::to_string(HasValuesAT(a));
  for (int32_t i = -1; i <= values && i < 200; ++i)
    out += "|" + Indexed(GetValueAT, a, i) + "=" + Indexed(GetValueAnnoAT, a, i);
  for (int32_t i = 0; i < values && i < 20; ++i) Checks(a, Indexed(GetValueAT, a, i));
  for (const std::string& text : {min, max, default_text, std::string(), std::string("1e308"),
                                  std::string("-1"), std::string("5")})
    Checks(a, text);
  return out;
}

// Scales are saved with six decimals; a tiny negative one comes back as 0.
std::string Scale(double scale) {
  std::string text = std::to_string(scale);
  return text == "-0.000000" ? "0.000000" : text;
}

std::string DumpFeature(HFT f) {
  std::string out = Trimmed(Text(GetIdFT, f)) + "|" + Text(GetNameFT, f) + "|" +
                    Text(GetName2FT, f) + "|" + Text(GetAnnoFT, f) + "|" + Text(GetGraphIdFT, f) +
                    "|" + std::to_string(GetLocalFT(f));
  int32_t count = GetAttributeCountFT(f);
  for (int32_t i = -1; i <= count && i < 500; ++i)
    out += "|" + Indexed(GetAttributeIdFT, f, i) + std::to_string(IsAttributeMustBeFT(f, i));
  return out;
}

std::string DumpGraph(HRT g) {
  return Trimmed(Text(GetIdRT, g)) + "|" + Text(GetAnnoRT, g) + "|" +
         Trimmed(Text(GetStdSymbolRT, g)) + "|" + Trimmed(Text(GetFileSymbolRT, g)) + "|" +
         std::to_string(GetPriorityRT(g)) + "|" + Scale(GetMinScaleRT(g)) + "|" +
         Scale(GetMaxScaleRT(g));
}

// Everything a host can read of the classifier, one line a definition in
// byte order: ids are saved trimmed, which may change their order.
std::string Dump(HCS cs) {
  std::vector<std::string> lines;
  for (int32_t i = -1, n = GetFeatureCountCS(cs); i <= n; ++i) {
    std::string id = Id(GetFeatureIdCS, cs, i);
    if (HFT f = GetFeatureCS(cs, id.c_str())) lines.push_back("F" + DumpFeature(f));
  }
  for (int32_t i = -1, n = GetAttributeCountCS(cs); i <= n; ++i) {
    std::string id = Id(GetAttributeIdCS, cs, i);
    if (HAT a = GetAttributeCS(cs, id.c_str())) lines.push_back("A" + DumpAttribute(a));
  }
  for (int32_t i = -1, n = GetGroupCountCS(cs); i <= n; ++i) {
    std::string id = Id(GetGroupIdCS, cs, i);
    if (HGT g = GetGroupCS(cs, id.c_str()))
      lines.push_back("G" + Trimmed(Text(GetIdGT, g)) + "|" + Text(GetAnnoGT, g));
  }
  for (int32_t i = -1, n = GetGraphCountCS(cs); i <= n; ++i) {
    std::string id = Id(GetGraphIdCS, cs, i);
    if (HRT g = GetGraphCS(cs, id.c_str())) lines.push_back("R" + DumpGraph(g));
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& line : lines) out += line + "\n";
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = orvofuzz::ScratchFile("saved.classify");
  if (size > 1 << 20) return 0;
  HCS cs = CreateCS();
  if (LoadMemoryCS(cs, reinterpret_cast<const char*>(data), static_cast<int32_t>(size))) {
    std::string loaded = Dump(cs);
    if (SaveFileCS(cs, path.c_str())) {
      HCS again = CreateCS();
      orvofuzz::Require(LoadFileCS(again, path.c_str()), "a saved classifier does not load");
      std::string reloaded = Dump(again);
      if (reloaded != loaded) {
        std::fprintf(stderr, "loaded:\n%s\nreloaded:\n%s\n", loaded.c_str(), reloaded.c_str());
        orvofuzz::Fail("the classifier changed in the round trip");
      }
      FreeCS(again);
    }
  } else {
    orvofuzz::Require(GetFeatureCountCS(cs) == 0 && GetAttributeCountCS(cs) == 0,
                      "a failed load left definitions");
  }
  FreeCS(cs);
  return 0;
}
