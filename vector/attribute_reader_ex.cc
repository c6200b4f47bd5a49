// The AR handle: forwards to the text or binary attribute reader.
#include "vector/attribute_reader_ex.h"

#include "base/errors.h"
#include "base/string_copy.h"
#include "vector/attribute_record.h"

namespace orvo {

namespace {

// The neutral result of a string getter: an empty text and false.
bool NoText(char* buffer, int32_t size) {
  BoundedCopy(std::string_view(""), buffer, size);
  return false;
}

}  // namespace

TAttributeReaderEx::TAttributeReaderEx(const char* file_name, bool binary) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  if (binary) {
    binary_ = std::make_unique<TBinaryAttributeReader>(file_name);
  } else {
    text_ = std::make_unique<TAttributeReader>(file_name);
  }
}

TAttributeReaderEx* TAttributeReaderEx::Create(const char* layer_name) {
  bool binary = false;
  std::string file_name = AttributeFileFor(layer_name, &binary);
  return new TAttributeReaderEx(file_name.c_str(), binary);
}

TAttributeReaderEx::~TAttributeReaderEx() = default;

void TAttributeReaderEx::Reset() {
  if (binary_) {
    binary_->Reset();
  } else {
    text_->Reset();
  }
}

bool TAttributeReaderEx::Next() { return binary_ ? binary_->ReadNext() : text_->ReadNext(); }

bool TAttributeReaderEx::SetPosition(int64_t position) {
  return binary_ ? binary_->SetPosition(position) : text_->SetPosition(position);
}

int64_t TAttributeReaderEx::GetPosition() const {
  return binary_ ? binary_->GetPosition() : text_->GetPosition();
}

int64_t TAttributeReaderEx::GetSize() const { return binary_ ? binary_->GetSize() : text_->GetSize(); }

bool TAttributeReaderEx::HasRecord() const {
  return binary_ ? binary_->HasRecord() : text_->HasRecord();
}

int32_t TAttributeReaderEx::GetId() const { return binary_ ? binary_->GetId() : text_->GetId(); }

int32_t TAttributeReaderEx::GetUserId() const {
  return binary_ ? binary_->GetUserId() : text_->GetUserId();
}

bool TAttributeReaderEx::CopyClassCode(char* buffer, int32_t size) const {
  if (!HasRecord()) return NoText(buffer, size);
  return BoundedCopy(binary_ ? binary_->GetClassCode() : text_->GetClassCode(), buffer, size);
}

int32_t TAttributeReaderEx::GetAttributeCount() const {
  return binary_ ? binary_->GetAttributeCount() : text_->GetAttributeCount();
}

bool TAttributeReaderEx::CopyAttributeId(int32_t index, char* buffer, int32_t size) const {
  if (binary_) {
    if (!binary_->HasAttribute(index)) return NoText(buffer, size);
    return BoundedCopy(binary_->GetAttributeId(index), buffer, size);
  }
  if (!text_->HasAttribute(index)) return NoText(buffer, size);
  return BoundedCopy(text_->GetAttributeId(index), buffer, size);
}

bool TAttributeReaderEx::CopyAttribute(int32_t index, char* buffer, int32_t size) {
  if (binary_) {
    if (!binary_->HasAttribute(index)) return NoText(buffer, size);
    return BoundedCopy(binary_->GetAttribute(index, scratch_), buffer, size);
  }
  if (!text_->HasAttribute(index) && !(index == -1 && text_->HasRecord())) {
    return NoText(buffer, size);
  }
  return BoundedCopy(text_->GetAttribute(index), buffer, size);
}

int32_t TAttributeReaderEx::GetAttributeDataType(int32_t index) const {
  if (binary_) return binary_->GetAttributeDataType(index);
  return text_->HasAttribute(index) ? kDataTypeString : kDataTypeNone;
}

int32_t TAttributeReaderEx::GetIntAttribute(int32_t index) const {
  return binary_ ? binary_->GetInt(index) : text_->GetInt(index);
}

double TAttributeReaderEx::GetDoubleAttribute(int32_t index) const {
  return binary_ ? binary_->GetDouble(index) : text_->GetDouble(index);
}

int32_t TAttributeReaderEx::GetBlobAttribute(int32_t index, void* buffer, int32_t size) const {
  return binary_ ? binary_->GetBlob(index, buffer, size) : text_->GetBlob(index, buffer, size);
}

}  // namespace orvo
