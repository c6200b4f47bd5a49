// INI blocks: the store the classifier and passport readers stand on, every
// section and key listed and looked up again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/ini.h"
#include "fuzz/scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  orvo::TIni ini;
  try {
    ini.LoadMemory(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
  } catch (...) {
    // A DataException leaves the lines read before the failing one.
  }
  int32_t sections = ini.GetSectionCount();
  std::vector<std::string> names;
  for (int32_t i = -1; i <= sections; ++i) names.push_back(ini.GetSectionName(i));
  for (const std::string& name : names) {
    int32_t keys = ini.ReadSection(name);
    std::vector<std::pair<std::string, std::string>> sorted;
    for (int32_t k = 0; k < keys; ++k)
      sorted.emplace_back(ini.GetSectionKey(k), ini.GetSectionValue(k));
    orvofuzz::Require(ini.GetSectionKey(keys).empty(), "a key past the end");
    for (const auto& [key, value] : sorted)
      orvofuzz::Require(ini.GetValue(name, key, "\x01") == value, "a listed key reads otherwise");
    orvofuzz::Require(ini.ReadSectionInFileOrder(name) == keys, "the two listings differ");
    orvofuzz::Require(ini.ReadOwnKeysInFileOrder(name) <= keys, "more own keys than keys");
  }
  return 0;
}
