// Scratch files of the harnesses: one directory per process on a memory file
// system, each input written over the same file, so that an execution costs
// no disk and no directory churn.
#ifndef FUZZ_SCRATCH_H_
#define FUZZ_SCRATCH_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvofuzz {

// The process's scratch directory (/dev/shm when present, else /tmp), made
// on first use and removed at exit.
const std::string& ScratchDir();
// ScratchDir() joined with a file name.
std::string ScratchFile(const std::string& name);
// Replaces the file's content with the bytes; aborts when it cannot.
void WriteScratch(const std::string& path, const uint8_t* data, size_t size);
void WriteScratch(const std::string& path, const std::string& bytes);
// The whole file; empty when it cannot be read.
std::string ReadScratch(const std::string& path);

// Splits an input into two parts at a 16-bit little-endian length prefix
// (clamped to what is there): harnesses that need two files take them so.
struct TwoParts {
  std::string first;
  std::string second;
};
TwoParts SplitInput(const uint8_t* data, size_t size);
std::string JoinParts(const std::string& first, const std::string& second);

// Aborts with the message: a broken promise is a finding.
[[noreturn]] void Fail(const char* what);
inline void Require(bool condition, const char* what) {
  if (!condition) Fail(what);
}

}  // namespace orvofuzz

#endif  // FUZZ_SCRATCH_H_
