// The export list against the header and the built library: every listed name
// is declared in orvoapi.h (this file would not compile otherwise) and resolves
// under its plain and underscore names to the same code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "platform/win32.h"

namespace {

struct ListedExport {
  const char* name;
  const void* declared;  // taking the address proves the header declares it
};

#define ORVO_EXPORT(name) {#name, reinterpret_cast<const void*>(&::name)},
const ListedExport kListed[] = {
#include "export_names.inc"
};
#undef ORVO_EXPORT

std::string LibraryPath() {
  const char* from_env = std::getenv("ORVO_LIBRARY");
  if (from_env != nullptr && *from_env != '\0') return from_env;
#ifdef _WIN32
  return "orvoapi.dll";
#else
  return "liborvoapi.so";
#endif
}

TEST(Exports, EveryListedNameResolvesUnderBothNamesAndNothingElse) {
  HMODULE module = LoadLibraryA(LibraryPath().c_str());
  ASSERT_NE(module, nullptr) << LibraryPath() << " error " << GetLastError();
  for (const ListedExport& e : kListed) {
    FARPROC plain = GetProcAddress(module, e.name);
    FARPROC underscored = GetProcAddress(module, (std::string("_") + e.name).c_str());
    EXPECT_NE(plain, nullptr) << e.name;
    EXPECT_EQ(plain, underscored) << e.name;
  }
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  // Internal symbols stay hidden.
  for (const char* internal : {"_ZN4orvo12StrToDoubleEPKc", "StrToDouble", "_ZN4orvo5RaiseEPKc"})
    EXPECT_EQ(GetProcAddress(module, internal), nullptr) << internal;
  FreeLibrary(module);
}

}  // namespace
