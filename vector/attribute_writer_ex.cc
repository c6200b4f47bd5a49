// The AW handle: forwards to the writer of the file's form.
#include "vector/attribute_writer_ex.h"

#include <new>

#include "base/errors.h"
#include "vector/attribute_record.h"
#include "vector/binary_attribute_writer.h"
#include "vector/text_attribute_writer.h"

namespace orvo {

TAttributeWriterEx::TAttributeWriterEx(const char* file_name, bool binary) {
  if (file_name == nullptr) Raise(kCantOpenFile);
  try {
    if (binary) {
      writer_ = std::make_unique<TBinaryAttributeWriter>(file_name);
    } else {
      writer_ = std::make_unique<TAttributeWriter>(file_name);
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
  return writer_->AddRecord(id, user_id, class_code);
}

bool TAttributeWriterEx::AddAttribute(const char* attribute_id, const char* value) {
  return writer_->AddStringAttribute(attribute_id, value);
}

bool TAttributeWriterEx::AddIntAttribute(const char* attribute_id, int32_t value) {
  return writer_->AddIntAttribute(attribute_id, value);
}

bool TAttributeWriterEx::AddDoubleAttribute(const char* attribute_id, double value) {
  return writer_->AddDoubleAttribute(attribute_id, value);
}

bool TAttributeWriterEx::AddBlobAttribute(const char* attribute_id, const void* bytes,
                                          int32_t count) {
  return writer_->AddBlobAttribute(attribute_id, bytes, count);
}

}  // namespace orvo
