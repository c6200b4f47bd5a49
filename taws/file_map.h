// TFileMap: a file mapped whole, growable when it is writable.
#ifndef TAWS_FILE_MAP_H_
#define TAWS_FILE_MAP_H_

#include <cstdint>

#include "base/os_file.h"

namespace orvo {

extern const char kCantMapFile[];  // "can't map file"

class TFileMap {
 public:
  enum class Mode {
    kCreate,    // read-write; made when missing
    kOpen,      // read-write when the file can be written, else read-only; must exist
    kReadOnly,  // read-only; must exist
  };

  // Opens the file and maps it whole; an empty writable file is resized to
  // initial_size instead. Throws "can't open file" or "can't map file".
  TFileMap(const char* file_name, int64_t initial_size, Mode mode);
  // Flushes the view and, when writable, cuts the file to the logical size.
  ~TFileMap();
  TFileMap(const TFileMap&) = delete;
  TFileMap& operator=(const TFileMap&) = delete;

  bool Writable() const { return writable_; }
  // The logical size; the view covers at least that many bytes.
  int64_t Size() const { return size_; }
  // The first mapped byte; null while nothing is mapped (an empty file).
  // Read-only maps must not be written through it.
  uint8_t* Base() const { return base_; }

  // Sets the logical size, remapping with a larger capacity (growing the
  // file) when it exceeds the present one. Throws "can't map file".
  void Resize(int64_t size);
  // Makes the file and the view exactly the logical size.
  void Fit();

 private:
  void Unmap();
  // Maps capacity bytes (0: the whole file).
  void Map(int64_t capacity);

  TOsHandle file_;
  TOsHandle mapping_;
  int64_t capacity_ = 0;
  int64_t step_ = 0;
  uint8_t* base_ = nullptr;
  int64_t size_ = 0;
  bool writable_ = false;
};

}  // namespace orvo

#endif  // TAWS_FILE_MAP_H_
