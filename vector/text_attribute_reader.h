// Reader of text attribute files, record by record.
#ifndef VECTOR_TEXT_ATTRIBUTE_READER_H_
#define VECTOR_TEXT_ATTRIBUTE_READER_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/holders.h"
#include "base/text_file_reader64.h"
#include "vector/attribute_io.h"
#include "vector/tokenizer.h"

namespace orvo {

// Reads the lines written by TAttributeWriter. Every value is text: the data
// type of every attribute is the string type. Lines with fewer than three
// fields or with id 0 are skipped. Before the first record, after Reset and
// after a read that found no record, the record is empty (id 0, no class code,
// no attributes, position 0).
class TAttributeReader : public IAttributeReader {
 public:
  // The line buffer holds this many characters and a NUL; a longer line is
  // split and its rest read as the next line.
  static constexpr int32_t kMaxLineLength = 2047;

  // Throws "can't open file".
  explicit TAttributeReader(const char* file_name);
  ~TAttributeReader() override;
  TAttributeReader(const TAttributeReader&) = delete;
  TAttributeReader& operator=(const TAttributeReader&) = delete;

  // Back to the first line; the record is emptied.
  void Reset() override;
  // Reads lines until one holds a record; false at the end of the file.
  bool ReadNext() override;
  // Reads the first record from the position on; false when the position is
  // not inside the file or no record follows it.
  bool SetPosition(int64_t position) override;

  // Whether the last read found a record (returned records never have id 0).
  bool HasRecord() const override { return id_ != 0; }
  int32_t GetId() const override { return id_; }
  int32_t GetUserId() const override { return user_id_; }
  std::string_view GetClassCode() const override;
  // The number of attribute ids of the record. An id left without a value
  // (only hand-made lines have one) counts, and its value is empty.
  int32_t GetAttributeCount() const override { return attribute_count_; }
  bool HasAttribute(int32_t index) const override { return index >= 0 && index < attribute_count_; }
  // The texts of attribute index (0 <= index < count); empty out of range.
  std::string_view GetAttributeId(int32_t index) const override;
  // The value text; index -1 gives the class code.
  std::string_view GetAttribute(int32_t index) const;
  // As GetAttribute; index -1 is found while a record is current.
  bool FindAttributeText(int32_t index, std::string& scratch,
                         std::string_view* text) const override;
  // The string type for every attribute of the record.
  int32_t GetAttributeDataType(int32_t index) const override;
  // Typed reading of attribute index; neutral (0, 0.0) out of range. The
  // integer is the text by the atoi rule, the real by the library's number
  // parser; the blob is decoded from hexadecimal digit pairs: the byte count,
  // the bytes written only when they fit into size bytes.
  int32_t GetInt(int32_t index) const override;
  double GetDouble(int32_t index) const override;
  int32_t GetBlob(int32_t index, void* buffer, int32_t size) const override;
  int64_t GetPosition() const override { return position_; }
  int64_t GetSize() const override { return file_->Size(); }

 private:
  void Clear();
  std::string_view Field(int32_t field) const {
    return field < field_count_ ? std::string_view(fields_[field]) : std::string_view("");
  }

  TPtr<TTextFileReader64> file_;
  TBuffer line_;
  TTokenizer tokenizer_;
  // Fields of the current line; strings are reused from line to line.
  std::vector<std::string> fields_;
  int32_t field_count_ = 0;
  int32_t id_ = 0;
  int32_t user_id_ = 0;
  int32_t attribute_count_ = 0;
  int64_t position_ = 0;
};

}  // namespace orvo

#endif  // VECTOR_TEXT_ATTRIBUTE_READER_H_
