// Whole-file read-only mapping for files that fit in the address space.
#ifndef BASE_FILE_READER_H_
#define BASE_FILE_READER_H_

#include <cstdint>

#include "base/os_file.h"

namespace orvo {

// Maps the whole file read-only at once. Data() stays valid for the reader's
// lifetime; an empty file gives Size() 0 and a null Data(). Throws "can't open
// file" when the file cannot be opened or mapped (or is 4 GiB or larger).
class TFileReader {
 public:
  explicit TFileReader(const char* file_name);
  virtual ~TFileReader();
  TFileReader(const TFileReader&) = delete;
  TFileReader& operator=(const TFileReader&) = delete;

  const uint8_t* Data() const { return data_; }
  uint32_t Size() const { return size_; }

 private:
  TOsHandle file_;
  TOsHandle mapping_;  // read-only mapping, empty for an empty file
  const uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
};

}  // namespace orvo

#endif  // BASE_FILE_READER_H_
