// Contract tests of LCMapStringA's case mapping (Windows-1252, at the lengths
// the library asks for) and of module loading.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32.h"

namespace {

std::string Map(DWORD flags, const std::string& text) {
  char out[64] = {};
  int n = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), static_cast<int>(text.size()), out,
                       sizeof(out));
  return n > 0 ? std::string(out, static_cast<size_t>(n)) : "<failed>";
}

TEST(PlatformCaseMappingTest, FollowsTheWindows1252CasePairs) {
  const std::string lower = "az\xE0\xE9\xF6\xFE\x9A\x9C\x9E\xFF";
  const std::string upper = "AZ\xC0\xC9\xD6\xDE\x8A\x8C\x8E\x9F";
  EXPECT_EQ(Map(LCMAP_UPPERCASE, lower), upper);
  EXPECT_EQ(Map(LCMAP_LOWERCASE, upper), lower);
  // No partners: multiplication and division signs, sharp s, micro, florin,
  // digits and punctuation.
  const std::string fixed =
      "\xD7\xF7\xDF\xB5\x83"
      "09@[`{";
  EXPECT_EQ(Map(LCMAP_UPPERCASE, fixed), fixed);
  EXPECT_EQ(Map(LCMAP_LOWERCASE, fixed), fixed);
  EXPECT_EQ(Map(LCMAP_UPPERCASE, std::string("a\0b", 3)), std::string("A\0B", 3));
}

#ifdef _WIN32
const char kSystemLibrary[] = "kernel32.dll";
const char kSystemFunction[] = "GetLastError";
#else
const char kSystemLibrary[] = "libc.so.6";
const char kSystemFunction[] = "strlen";
#endif

TEST(PlatformModuleTest, LoadsLooksUpAndRefusesUnknowns) {
  EXPECT_EQ(LoadLibraryA("orvo_no_such_module_anywhere"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  HMODULE module = LoadLibraryA(kSystemLibrary);
  ASSERT_NE(module, nullptr);
  EXPECT_NE(GetProcAddress(module, kSystemFunction), nullptr);
  EXPECT_EQ(GetProcAddress(module, "OrvoNoSuchFunction"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(module));
  int not_a_module = 0;
  EXPECT_FALSE(FreeLibrary(reinterpret_cast<HMODULE>(&not_a_module)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

}  // namespace
