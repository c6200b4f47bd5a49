// Writer of text attribute files: one CR LF line per record.
#ifndef VECTOR_TEXT_ATTRIBUTE_WRITER_H_
#define VECTOR_TEXT_ATTRIBUTE_WRITER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/file_writer64.h"
#include "base/holders.h"
#include "vector/attribute_io.h"

namespace orvo {

// Writes lines of the form
//   id,user id,"class code",attribute id,"value",...,CR LF
// every field followed by a comma. A record's line is kept pending until the
// next record starts or the writer is destroyed.
class TAttributeWriter : public IAttributeWriter {
 public:
  // The write buffer: a quarter MiB, small enough to stay in the cache until
  // it is handed to the file.
  static constexpr uint32_t kBufferRequest = 200000;
  // The longest line the reader takes in one piece; a longer one would be
  // split and its rest read as a line of its own, so none is written.
  static constexpr size_t kMaxLineLength = 2047;

  // Replaces the file. Throws "can't open file" when it cannot be created.
  explicit TAttributeWriter(const char* file_name);
  // Writes out the pending line and closes the file, cut to the bytes written.
  ~TAttributeWriter() override;
  TAttributeWriter(const TAttributeWriter&) = delete;
  TAttributeWriter& operator=(const TAttributeWriter&) = delete;

  // Completes the previous record's line and starts a new one; the result is
  // the file position of the new line. A record that no reader could return
  // (id 0, a null class code, a head longer than a line may be) is refused
  // with -1: the previous record is still completed, and attributes are then
  // dropped until the next accepted record. Throws "can't write attribute
  // file" when the file cannot take the previous line.
  int64_t AddRecord(int32_t id, int32_t user_id, const char* class_code) override;

  // Appends one attribute to the pending line: the id (quoted and escaped only
  // when it holds a quote, backslash, comma or line end), then the value
  // quoted, its CR and LF dropped and its quotes and backslashes escaped.
  // Attributes given before the first record form a line of their own. False
  // (nothing written) for a null id or value, after a refused record, or when
  // the line would grow past kMaxLineLength.
  bool AddAttribute(const char* attribute_id, const char* value);
  bool AddAttribute(std::string_view attribute_id, std::string_view value);
  // Typed values in their text form (integers in decimal, reals by "%-.16g",
  // blobs as lower-case hexadecimal digit pairs); false as AddAttribute, and
  // for a negative blob count or null bytes with a positive count.
  bool AddStringAttribute(const char* attribute_id, const char* value) override;
  bool AddIntAttribute(const char* attribute_id, int32_t value) override;
  bool AddDoubleAttribute(const char* attribute_id, double value) override;
  bool AddBlobAttribute(const char* attribute_id, const void* bytes, int32_t count) override;

  // Bytes handed to the file so far (the pending line not included).
  int64_t Tell() const { return file_->Tell(); }

 private:
  void WritePendingLine();
  bool AddValueText(const char* attribute_id);  // value_ as the value

  TPtr<TFileWriter64> file_;
  std::string line_;         // the pending line, without its line end
  std::string piece_;        // scratch for one attribute
  std::string value_;        // scratch for a typed value
  bool discarding_ = false;  // the last record was refused
};

// Appends text between double quotes, dropping CR and LF and putting a
// backslash before every quote and backslash: the form the tokenizer reads
// back unchanged.
void AppendQuotedAttributeText(std::string& out, std::string_view text);

}  // namespace orvo

#endif  // VECTOR_TEXT_ATTRIBUTE_WRITER_H_
