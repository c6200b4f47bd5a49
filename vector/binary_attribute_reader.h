// Reader of binary attribute files, in place over a whole-file mapping.
#ifndef VECTOR_BINARY_ATTRIBUTE_READER_H_
#define VECTOR_BINARY_ATTRIBUTE_READER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_reader.h"
#include "base/holders.h"
#include "vector/attribute_io.h"

namespace orvo {

// Walks the records written by TBinaryAttributeWriter. Each record is checked
// when it is read: a record or entry whose size is smaller than its head or
// reaches past the record or the file, or whose counts do not fit, marks a
// damaged file, and the walk ends there as at the end of the file. Records
// with id 0 are skipped. Without a current record (before the first read,
// after Reset or a read that found none) the accessors give neutral results:
// 0, empty texts, data type -1. Entry indexes outside 0..count-1 give the same
// neutral results.
class TBinaryAttributeReader : public IAttributeReader {
 public:
  // Maps the whole file. Throws "can't open file".
  explicit TBinaryAttributeReader(const char* file_name);
  ~TBinaryAttributeReader() override;
  TBinaryAttributeReader(const TBinaryAttributeReader&) = delete;
  TBinaryAttributeReader& operator=(const TBinaryAttributeReader&) = delete;

  // Back to the first record (just past the header).
  void Reset() override;
  // The next record whose id is not 0; false at the end or at damage.
  bool ReadNext() override;
  // Reads the first record with a non-zero id from the offset on; false when
  // the offset is outside the file or no sound record is found there.
  bool SetPosition(int64_t position) override;

  int64_t GetPosition() const override { return has_record_ ? record_ : 0; }
  int64_t GetSize() const override { return size_; }
  bool HasRecord() const override { return has_record_; }
  int32_t GetId() const override { return id_; }
  int32_t GetUserId() const override { return user_id_; }
  std::string_view GetClassCode() const override;
  int32_t GetAttributeCount() const override { return entries_.Count(); }
  bool HasAttribute(int32_t index) const override { return index >= 0 && index < entries_.Count(); }

  std::string_view GetAttributeId(int32_t index) const override;
  int32_t GetAttributeDataType(int32_t index) const override;
  // The stored 32-bit value of the entry, whatever its type.
  int32_t GetInt(int32_t index) const override;
  // The stored 8 bytes after the entry's head, whatever its type (bytes that
  // the entry does not hold read as 0).
  double GetDouble(int32_t index) const override;
  // The byte count of a blob (or string) entry, its bytes copied into buffer
  // only when they fit into size bytes; 0 for other types.
  int32_t GetBlob(int32_t index, void* buffer, int32_t size) const override;
  // The value as text: integers in decimal, reals by "%-.16g", blobs as
  // hexadecimal digit pairs, strings as stored. The result points into the
  // mapping or into scratch.
  std::string_view GetAttribute(int32_t index, std::string& scratch) const;
  bool FindAttributeText(int32_t index, std::string& scratch,
                         std::string_view* text) const override;

 private:
  // One checked entry of the current record.
  struct Entry {
    const uint8_t* at;  // its first byte, inside the mapping
    int32_t size;       // its size, at least the head of its type
    int32_t data_type;
    int32_t id_offset;  // where its attribute id starts, at most size
  };

  void ClearRecord();
  bool End();
  // Checks the record at offset and takes it as current; false when damaged.
  bool LoadRecord(int64_t offset, int32_t size);
  int32_t StoredInt(const Entry& entry) const;

  TPtr<TFileReader> file_;
  const uint8_t* data_ = nullptr;
  int64_t size_ = 0;
  int64_t next_ = 0;  // offset of the next record to read
  bool has_record_ = false;
  int64_t record_ = 0;  // offset of the current record
  int32_t id_ = 0;
  int32_t user_id_ = 0;
  const uint8_t* class_code_ = nullptr;  // L bytes in the record, NUL-ended
  int32_t class_code_length_ = 0;        // L
  TArray<Entry> entries_;
};

}  // namespace orvo

#endif  // VECTOR_BINARY_ATTRIBUTE_READER_H_
