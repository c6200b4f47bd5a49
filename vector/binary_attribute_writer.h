// Writer of binary attribute files with typed values.
#ifndef VECTOR_BINARY_ATTRIBUTE_WRITER_H_
#define VECTOR_BINARY_ATTRIBUTE_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_writer64.h"
#include "base/holders.h"
#include "vector/attribute_io.h"

namespace orvo {

// Writes the 16-byte header, then one record per AddRecord with the entries
// added after it. A record is assembled in memory and written in one piece
// when the next record starts or the writer is destroyed, so the file never
// holds a half-written record; the header gets its final size and count on
// destruction.
class TBinaryAttributeWriter : public IAttributeWriter {
 public:
  // The write buffer: a quarter MiB, small enough to stay in the cache until
  // it is handed to the file.
  static constexpr uint32_t kBufferRequest = 200000;

  // Replaces the file and writes the provisional header (size 16, count 0).
  // Throws "can't open file".
  explicit TBinaryAttributeWriter(const char* file_name);
  // Writes the last record and the final header, then closes the file.
  ~TBinaryAttributeWriter() override;
  TBinaryAttributeWriter(const TBinaryAttributeWriter&) = delete;
  TBinaryAttributeWriter& operator=(const TBinaryAttributeWriter&) = delete;

  // Completes the previous record and starts a new one; the result is the
  // file offset of the new record. A record that the reader could not return
  // (id 0, a null class code, a file grown to the reader's 4 GiB limit) is
  // refused with -1, and attributes are then dropped until the next accepted
  // record. Throws "can't write attribute file" when the previous record
  // cannot be written (it is kept and written by the next call that can).
  int64_t AddRecord(int32_t id, int32_t user_id, const char* class_code) override;

  // Each adds one entry to the current record; false (nothing added) when no
  // record is open (before the first one or after a refused one), for a null
  // id or value, a negative blob count, a null blob with a positive count, or
  // when the record or file would outgrow what the format can hold.
  bool AddIntAttribute(const char* attribute_id, int32_t value) override;
  bool AddDoubleAttribute(const char* attribute_id, double value) override;
  bool AddStringAttribute(const char* attribute_id, const char* value) override;
  bool AddBlobAttribute(const char* attribute_id, const void* bytes, int32_t count) override;

 private:
  bool AddEntry(int32_t data_type, std::string_view attribute_id, const void* value,
                size_t value_size, bool counted);
  void WriteRecord();
  void WriteHeader();

  TPtr<TFileWriter64> file_;
  int64_t file_size_ = 0;  // header size plus the records written
  int32_t record_count_ = 0;
  TArray<char> record_;          // the record being assembled, head included
  int32_t attribute_count_ = 0;  // entries in record_
  bool open_ = false;            // record_ takes attributes
};

}  // namespace orvo

#endif  // VECTOR_BINARY_ATTRIBUTE_WRITER_H_
