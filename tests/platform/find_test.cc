// Contract tests of directory search: masks, separators, attributes
// and the codes at the edges. Order is not part of the contract.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/win32.h"
#include "tests/platform/platform_test_util.h"
#include "tests/support/temp_dir.h"

namespace orvotest {
namespace {

using Names = std::set<std::string>;

class PlatformFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.TXT", "b.txt", "ab.txt", "c.dat", "noext"})
      ASSERT_TRUE(MakeFile(dir_.File(name), ""));
    ASSERT_TRUE(std::filesystem::create_directory(dir_.File("sub")));
  }

  // The names the search lists, or {"<error N>"} when it fails.
  Names Find(const std::string& pattern) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return {"<error " + std::to_string(GetLastError()) + ">"};
    Names names;
    do {
      names.insert(data.cFileName);
      found_[data.cFileName] = data;
    } while (FindNextFileA(search, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_EQ(ErrorOf(FindNextFileA(search, &data)), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(search));
    return names;
  }

  static std::string Error(long code) { return "<error " + std::to_string(code) + ">"; }

  TempDir dir_;
  std::map<std::string, WIN32_FIND_DATAA> found_;
};

// Masks match without regard to case after either separator; "*" lists dot entries and
// directories, "*.*" also names without a dot; failures tell no match from no directory.
TEST_F(PlatformFindTest, MasksListTheirMatchesOrTellWhyNone) {
  const Names all = {".", "..", "a.TXT", "ab.txt", "b.txt", "c.dat", "noext", "sub"};
  const std::pair<const char*, Names> cases[] = {
      {"/*.txt", {"a.TXT", "ab.txt", "b.txt"}},
      {"\\*.TXT", {"a.TXT", "ab.txt", "b.txt"}},
      {"/?.txt", {"a.TXT", "b.txt"}},
      {"/*b*", {"ab.txt", "b.txt", "sub"}},
      {"/NOEXT", {"noext"}},
      {"/*", all},
      {"/*.*", all},
      {"/sub/*", {".", ".."}},
      {"/*.none", {Error(ERROR_FILE_NOT_FOUND)}},
      {"/", {Error(ERROR_FILE_NOT_FOUND)}},
      {"/nodir/*", {Error(ERROR_PATH_NOT_FOUND)}},
  };
  for (const auto& [mask, names] : cases) EXPECT_EQ(Find(dir_.path() + mask), names) << mask;
  EXPECT_EQ(Find(""), (Names{Error(ERROR_PATH_NOT_FOUND)}));
  EXPECT_NE(found_["sub"].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(found_["."].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_EQ(found_["a.TXT"].dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace orvotest
