// The AW handle: typed values to the binary writer, or as text to the text one.
#include "vector/attribute_writer_ex.h"

#include <new>

#include "base/errors.h"
#include "vector/attribute_record.h"

namespace orvo {

TAttributeWriterEx::TAttributeWriterEx(const char* file_name, bool binary) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  try {
    if (binary) {
      binary_ = std::make_unique<TBinaryAttributeWriter>(file_name);
    } else {
      text_ = std::make_unique<TAttributeWriter>(file_name);
    }
  } catch (const std::bad_alloc&) {
    Raise(kCantOpenAttributeFile);
  }
}

TAttributeWriterEx* TAttributeWriterEx::Create(const char* layer_name) {
  bool binary = false;
  std::string file_name = AttributeFileFor(layer_name, &binary);
  return new TAttributeWriterEx(file_name.c_str(), binary);
}

TAttributeWriterEx::~TAttributeWriterEx() = default;

int64_t TAttributeWriterEx::AddRecord(int32_t id, int32_t user_id, const char* class_code) {
  return binary_ ? binary_->AddRecord(id, user_id, class_code)
                 : text_->AddRecord(id, user_id, class_code);
}

bool TAttributeWriterEx::AddAttribute(const char* attribute_id, const char* value) {
  return binary_ ? binary_->AddStringAttribute(attribute_id, value)
                 : text_->AddAttribute(attribute_id, value);
}

bool TAttributeWriterEx::AddText(const char* attribute_id) {
  if (attribute_id == nullptr) return false;
  return text_->AddAttribute(std::string_view(attribute_id), scratch_);
}

bool TAttributeWriterEx::AddIntAttribute(const char* attribute_id, int32_t value) {
  if (binary_) return binary_->AddIntAttribute(attribute_id, value);
  scratch_.clear();
  AppendIntText(scratch_, value);
  return AddText(attribute_id);
}

bool TAttributeWriterEx::AddDoubleAttribute(const char* attribute_id, double value) {
  if (binary_) return binary_->AddDoubleAttribute(attribute_id, value);
  scratch_.clear();
  AppendDoubleText(scratch_, value);
  return AddText(attribute_id);
}

bool TAttributeWriterEx::AddBlobAttribute(const char* attribute_id, const void* bytes,
                                          int32_t count) {
  if (binary_) return binary_->AddBlobAttribute(attribute_id, bytes, count);
  if (count < 0 || (bytes == nullptr && count > 0)) return false;
  scratch_.clear();
  AppendBlobText(scratch_, static_cast<const uint8_t*>(bytes), static_cast<size_t>(count));
  return AddText(attribute_id);
}

}  // namespace orvo
