// The AR handle: forwards to the reader of the file's form.
#include "vector/attribute_reader_ex.h"

#include "base/errors.h"
#include "base/string_copy.h"
#include "vector/attribute_record.h"
#include "vector/binary_attribute_reader.h"
#include "vector/text_attribute_reader.h"

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
    reader_ = std::make_unique<TBinaryAttributeReader>(file_name);
  } else {
    reader_ = std::make_unique<TAttributeReader>(file_name);
  }
}

TAttributeReaderEx* TAttributeReaderEx::Create(const char* layer_name) {
  bool binary = false;
  std::string file_name = AttributeFileFor(layer_name, &binary);
  return new TAttributeReaderEx(file_name.c_str(), binary);
}

TAttributeReaderEx::~TAttributeReaderEx() = default;

void TAttributeReaderEx::Reset() { reader_->Reset(); }
bool TAttributeReaderEx::Next() { return reader_->ReadNext(); }
bool TAttributeReaderEx::SetPosition(int64_t position) { return reader_->SetPosition(position); }
int64_t TAttributeReaderEx::GetPosition() const { return reader_->GetPosition(); }
int64_t TAttributeReaderEx::GetSize() const { return reader_->GetSize(); }
int32_t TAttributeReaderEx::GetId() const { return reader_->GetId(); }
int32_t TAttributeReaderEx::GetUserId() const { return reader_->GetUserId(); }

bool TAttributeReaderEx::CopyClassCode(char* buffer, int32_t size) const {
  if (!reader_->HasRecord()) return NoText(buffer, size);
  return BoundedCopy(reader_->GetClassCode(), buffer, size);
}

int32_t TAttributeReaderEx::GetAttributeCount() const { return reader_->GetAttributeCount(); }

bool TAttributeReaderEx::CopyAttributeId(int32_t index, char* buffer, int32_t size) const {
  if (!reader_->HasAttribute(index)) return NoText(buffer, size);
  return BoundedCopy(reader_->GetAttributeId(index), buffer, size);
}

bool TAttributeReaderEx::CopyAttribute(int32_t index, char* buffer, int32_t size) {
  std::string_view text;
  if (!reader_->FindAttributeText(index, scratch_, &text)) return NoText(buffer, size);
  return BoundedCopy(text, buffer, size);
}

int32_t TAttributeReaderEx::GetAttributeDataType(int32_t index) const {
  return reader_->GetAttributeDataType(index);
}

int32_t TAttributeReaderEx::GetIntAttribute(int32_t index) const { return reader_->GetInt(index); }

double TAttributeReaderEx::GetDoubleAttribute(int32_t index) const {
  return reader_->GetDouble(index);
}

int32_t TAttributeReaderEx::GetBlobAttribute(int32_t index, void* buffer, int32_t size) const {
  return reader_->GetBlob(index, buffer, size);
}

}  // namespace orvo
