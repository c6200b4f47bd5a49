// Scratch files of the harnesses.
#include "fuzz/scratch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace orvofuzz {

namespace {

struct ScratchDirectory {
  std::string path;
  ScratchDirectory() {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path = std::string(base) + "/orvo-fuzz-" + std::to_string(getpid());
    std::filesystem::create_directories(path);
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& ScratchDir() {
  static ScratchDirectory directory;
  return directory.path;
}

std::string ScratchFile(const std::string& name) { return ScratchDir() + "/" + name; }

void WriteScratch(const std::string& path, const uint8_t* data, size_t size) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Fail("cannot open a scratch file");
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) Fail("cannot write a scratch file");
    done += static_cast<size_t>(n);
  }
  close(fd);
}

void WriteScratch(const std::string& path, const std::string& bytes) {
  WriteScratch(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::string ReadScratch(const std::string& path) {
  std::string bytes;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return bytes;
  char buffer[65536];
  ssize_t n;
  while ((n = read(fd, buffer, sizeof(buffer))) > 0) bytes.append(buffer, static_cast<size_t>(n));
  close(fd);
  return bytes;
}

TwoParts SplitInput(const uint8_t* data, size_t size) {
  TwoParts parts;
  if (size < 2) return parts;
  size_t first = data[0] | (static_cast<size_t>(data[1]) << 8);
  if (first > size - 2) first = size - 2;
  parts.first.assign(reinterpret_cast<const char*>(data + 2), first);
  parts.second.assign(reinterpret_cast<const char*>(data + 2 + first), size - 2 - first);
  return parts;
}

std::string JoinParts(const std::string& first, const std::string& second) {
  std::string out;
  out += static_cast<char>(first.size() & 0xFF);
  out += static_cast<char>((first.size() >> 8) & 0xFF);
  return out + first + second;
}

void Fail(const char* what) {
  std::fprintf(stderr, "orvo fuzz: %s\n", what);
  std::abort();
}

}  // namespace orvofuzz
