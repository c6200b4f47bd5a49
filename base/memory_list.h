// Line source over a private copy of a memory block, for the INI reader.
#ifndef BASE_MEMORY_LIST_H_
#define BASE_MEMORY_LIST_H_

#include <cstdint>
#include <vector>

namespace orvo {

// Hands out the non-empty lines of a block one by one. NUL, LF and CR all end
// a line; runs of them (CR LF, blank lines, NUL padding) are skipped, so empty
// lines are never produced.
class TMemoryList {
 public:
  // Copies size bytes at bytes; a null pointer or a size below 1 gives an
  // empty block.
  TMemoryList(const char* bytes, int32_t size);
  virtual ~TMemoryList();
  TMemoryList(const TMemoryList&) = delete;
  TMemoryList& operator=(const TMemoryList&) = delete;

  // Copies the next line, at most n characters of it, into buffer (which holds
  // n + 1 bytes) and NUL-terminates it; the rest of a longer line comes with
  // the next call. False (buffer set to "") at the end of the block.
  bool GetLine(char* buffer, int32_t n);

 private:
  std::vector<char> data_;
  int32_t position_ = 0;
  int32_t size_ = 0;
};

}  // namespace orvo

#endif  // BASE_MEMORY_LIST_H_
