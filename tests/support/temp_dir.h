// A fresh temporary directory per test, removed with everything in it.
#ifndef TESTS_SUPPORT_TEMP_DIR_H_
#define TESTS_SUPPORT_TEMP_DIR_H_

#include <string>

namespace orvotest {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }  // without a trailing separator
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

// Reads a whole file into a string; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Writes the bytes to a file, replacing it.
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace orvotest

#endif  // TESTS_SUPPORT_TEMP_DIR_H_
