// `orvo check CLASSIFIER LAYER`: every attribute value against the classifier.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tools/orvo/commands.h"
#include "tools/orvo/layer.h"

namespace orvotool {

namespace {

// Classifier ids are upper case; the library finds them in any case.
std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string Text(const std::function<int32_t(char*, int32_t)>& getter) {
  std::vector<char> buffer(1024, 0);
  getter(buffer.data(), static_cast<int32_t>(buffer.size() - 1));
  return buffer.data();
}

int RunCheck(const Args& args, const CommandIo& io) {
  ExpectOperands(args, 2, 2);
  const std::string& classifier = args.operands[0];
  HCS cs = CreateCS();
  struct Keeper {
    HCS h;
    ~Keeper() { FreeCS(h); }
  } keeper{cs};
  if (!LoadFileCS(cs, classifier.c_str())) throw InputError{classifier, "is no classifier"};
  LayerReader reader(args.operands[1]);
  if (!reader.HasAttributes()) throw InputError{reader.Files().attribute, "no such file"};
  int64_t records = 0, values = 0, failures = 0;
  auto fail = [&](const Feature& f, const std::string& what, const std::string& why) {
    ++failures;
    std::fprintf(io.out, "%d %s %s: %s\n", f.id, f.class_code.c_str(), what.c_str(), why.c_str());
  };
  Feature f;
  while (reader.Next(&f)) {
    if (!f.has_attributes) continue;
    ++records;
    HFT ft = GetFeatureCS(cs, f.class_code.c_str());
    if (ft == nullptr) {
      fail(f, "class", "class code is not in the classifier");
      continue;
    }
    std::vector<std::string> allowed;
    for (int32_t i = 0; i < GetAttributeCountFT(ft); ++i)
      allowed.push_back(
          Upper(Text([&](char* b, int32_t n) { return GetAttributeIdFT(ft, i, b, n); })));
    for (const Attribute& a : f.attributes) {
      ++values;
      const std::string what = a.id + "=" + ValueText(a);
      HAT at = GetAttributeCS(cs, a.id.c_str());
      if (at == nullptr) {
        fail(f, what, "attribute is not in the classifier");
        continue;
      }
      if (std::find(allowed.begin(), allowed.end(), Upper(a.id)) == allowed.end()) {
        fail(f, what, "attribute does not belong to the feature");
        continue;
      }
      bool ok = true;
      switch (a.type) {
        case kTypeInt:
          ok = CheckIntAT(at, a.integer);
          break;
        case kTypeReal:
          ok = CheckDoubleAT(at, a.real);
          break;
        case kTypeBlob:
          break;  // the classifier has no rules for bytes
        default:
          ok = CheckStringAT(at, a.text.c_str());
      }
      if (!ok) fail(f, what, Text([&](char* b, int32_t n) { return GetReasonAT(at, b, n); }));
    }
  }
  std::fprintf(io.out, "%lld records, %lld values, %lld failing\n", static_cast<long long>(records),
               static_cast<long long>(values), static_cast<long long>(failures));
  return failures == 0 ? 0 : 1;
}

}  // namespace

const Command kCheckCommand = {
    "check",
    "checks the attributes of a layer against a classifier",
    "usage: orvo check CLASSIFIER LAYER\n"
    "  checks every attribute value of the layer against the classifier: the\n"
    "  record's class code must name a feature, each attribute must be defined\n"
    "  and belong to that feature, and its value must pass the attribute's\n"
    "  type, range and value list. Prints one line a failing value, \"ID CLASS\n"
    "  ATTRIBUTE=VALUE: reason\", then a count. Exit 0 when every value\n"
    "  passes, 1 when one fails or a file cannot be read.\n",
    {},
    RunCheck};

}  // namespace orvotool
