// The attribute writer behind the AW exports: a text or binary writer.
#ifndef VECTOR_ATTRIBUTE_WRITER_EX_H_
#define VECTOR_ATTRIBUTE_WRITER_EX_H_

#include <cstdint>
#include <string>

#include "base/holders.h"
#include "vector/attribute_io.h"

namespace orvo {

// Holds the writer of the form chosen at creation and forwards to it. The binary form stores typed
// entries; the text form writes every value as text (integers in decimal,
// reals by "%-.16g", blobs as lower-case hexadecimal digit pairs).
// Attributes belong to the record started by the last AddRecord.
class TAttributeWriterEx {
 public:
  // Replaces the file as named, in the given form. Throws "can't open file",
  // or "can't open attribute file" when the writer cannot be made.
  TAttributeWriterEx(const char* file_name, bool binary);
  // Writes the attribute file of a layer (AttributeFileFor). Caller owns it.
  static TAttributeWriterEx* Create(const char* layer_name);
  // Completes the last record and closes the file.
  virtual ~TAttributeWriterEx();
  TAttributeWriterEx(const TAttributeWriterEx&) = delete;
  TAttributeWriterEx& operator=(const TAttributeWriterEx&) = delete;

  // The position of the new record, or -1 when it is refused (id 0, null class
  // code); the attributes that follow a refused record are dropped.
  int64_t AddRecord(int32_t id, int32_t user_id, const char* class_code);
  // False when the attribute is not written (null id, value or bytes, negative
  // count, no record open in the binary form, a text line grown too long).
  bool AddAttribute(const char* attribute_id, const char* value);
  bool AddIntAttribute(const char* attribute_id, int32_t value);
  bool AddDoubleAttribute(const char* attribute_id, double value);
  bool AddBlobAttribute(const char* attribute_id, const void* bytes, int32_t count);

 private:
  TPtr<IAttributeWriter> writer_;
};

}  // namespace orvo

#endif  // VECTOR_ATTRIBUTE_WRITER_EX_H_
