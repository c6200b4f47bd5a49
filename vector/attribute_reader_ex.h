// The attribute reader behind the AR exports: a text or binary reader.
#ifndef VECTOR_ATTRIBUTE_READER_EX_H_
#define VECTOR_ATTRIBUTE_READER_EX_H_

#include <cstdint>
#include <string>

#include "base/holders.h"
#include "vector/attribute_io.h"

namespace orvo {

// Holds the reader of the form chosen at opening and forwards to it. Without a current record, and
// for attribute indexes outside 0..count-1, every getter gives its neutral
// result (0, 0.0, data type -1, false with the buffer NUL-filled). String
// getters copy by the bounded rule: at most size bytes, NUL-padded when
// shorter, no NUL when the text fills the buffer.
class TAttributeReaderEx {
 public:
  // Opens the file as named, in the given form. Throws "can't open file".
  TAttributeReaderEx(const char* file_name, bool binary);
  // Opens the attribute file of a layer (AttributeFileFor). Caller owns it.
  static TAttributeReaderEx* Create(const char* layer_name);
  virtual ~TAttributeReaderEx();
  TAttributeReaderEx(const TAttributeReaderEx&) = delete;
  TAttributeReaderEx& operator=(const TAttributeReaderEx&) = delete;

  void Reset();
  bool Next();
  // Reads the record at a file position (as GetPosition gives it).
  bool SetPosition(int64_t position);
  int64_t GetPosition() const;
  int64_t GetSize() const;

  int32_t GetId() const;
  int32_t GetUserId() const;
  bool CopyClassCode(char* buffer, int32_t size) const;
  int32_t GetAttributeCount() const;
  bool CopyAttributeId(int32_t index, char* buffer, int32_t size) const;
  // The value as text. In the text form index -1 gives the class code.
  bool CopyAttribute(int32_t index, char* buffer, int32_t size);
  // The stored type in the binary form; 5 (string) for every text value.
  int32_t GetAttributeDataType(int32_t index) const;
  // Binary form: the stored value without conversion. Text form: the text by
  // the atoi rule / the library's number parser.
  int32_t GetIntAttribute(int32_t index) const;
  double GetDoubleAttribute(int32_t index) const;
  // The blob's byte count; its bytes are copied only when they fit into size
  // bytes. The text form decodes hexadecimal digit pairs.
  int32_t GetBlobAttribute(int32_t index, void* buffer, int32_t size) const;

 private:
  TPtr<IAttributeReader> reader_;
  std::string scratch_;  // formatted binary values
};

}  // namespace orvo

#endif  // VECTOR_ATTRIBUTE_READER_EX_H_
