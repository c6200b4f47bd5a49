// The attribute file of a layer as the handles see it, whichever form it has:
// one reader and one writer interface, implemented by the text and the binary
// classes. The form is chosen once, when the file is opened or created.
#ifndef VECTOR_ATTRIBUTE_IO_H_
#define VECTOR_ATTRIBUTE_IO_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// A walk over the records of an attribute file. Without a current record, and
// for attribute indexes outside 0..count-1, the getters give neutral results
// (0, 0.0, empty texts, data type -1).
class IAttributeReader {
 public:
  virtual ~IAttributeReader() = default;

  virtual void Reset() = 0;
  virtual bool ReadNext() = 0;
  virtual bool SetPosition(int64_t position) = 0;
  virtual int64_t GetPosition() const = 0;
  virtual int64_t GetSize() const = 0;

  virtual bool HasRecord() const = 0;
  virtual int32_t GetId() const = 0;
  virtual int32_t GetUserId() const = 0;
  virtual std::string_view GetClassCode() const = 0;
  virtual int32_t GetAttributeCount() const = 0;
  virtual bool HasAttribute(int32_t index) const = 0;
  virtual std::string_view GetAttributeId(int32_t index) const = 0;
  // The value of attribute index as text in *text, formatted into scratch
  // when it is not stored as text; false when there is no such value.
  virtual bool FindAttributeText(int32_t index, std::string& scratch,
                                 std::string_view* text) const = 0;
  virtual int32_t GetAttributeDataType(int32_t index) const = 0;
  virtual int32_t GetInt(int32_t index) const = 0;
  virtual double GetDouble(int32_t index) const = 0;
  // The blob's byte count; its bytes are copied only when they fit.
  virtual int32_t GetBlob(int32_t index, void* buffer, int32_t size) const = 0;
};

// Appends records to a new attribute file; attributes belong to the record
// started by the last AddRecord.
class IAttributeWriter {
 public:
  virtual ~IAttributeWriter() = default;

  // The position of the new record, or -1 when it is refused.
  virtual int64_t AddRecord(int32_t id, int32_t user_id, const char* class_code) = 0;
  // False when the attribute is not written.
  virtual bool AddStringAttribute(const char* attribute_id, const char* value) = 0;
  virtual bool AddIntAttribute(const char* attribute_id, int32_t value) = 0;
  virtual bool AddDoubleAttribute(const char* attribute_id, double value) = 0;
  virtual bool AddBlobAttribute(const char* attribute_id, const void* bytes, int32_t count) = 0;
};

}  // namespace orvo

#endif  // VECTOR_ATTRIBUTE_IO_H_
