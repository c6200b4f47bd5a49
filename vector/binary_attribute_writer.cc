// Binary attribute files: assembling records and entries.
#include "vector/binary_attribute_writer.h"

#include <cstring>

#include "base/errors.h"
#include "vector/attribute_record.h"
#include "vector/binary_attribute_format.h"

namespace orvo {

namespace {

// The reader maps the whole file with 32-bit sizes.
constexpr int64_t kMaxFileSize = static_cast<int64_t>(UINT32_MAX) - 1;

void StoreInt32(char* out, int32_t value) { std::memcpy(out, &value, 4); }

}  // namespace

TBinaryAttributeWriter::TBinaryAttributeWriter(const char* file_name)
    : file_(std::make_unique<TFileWriter64>(file_name, kBufferRequest)),
      file_size_(kBinaryAttributeHeaderSize) {
  WriteHeader();
}

TBinaryAttributeWriter::~TBinaryAttributeWriter() {
  open_ = false;
  try {
    WriteRecord();
    WriteHeader();
  } catch (...) {
    // A file that cannot take its last record keeps what was written before.
  }
}

void TBinaryAttributeWriter::WriteHeader() {
  BinaryAttributeHeader header{file_size_, record_count_, 0};
  int64_t back = file_->Tell();
  file_->Seek(0);
  bool written = file_->Write(&header, sizeof(header));
  file_->Seek(back < kBinaryAttributeHeaderSize ? kBinaryAttributeHeaderSize : back);
  if (!written) Raise(kCantWriteAttributeFile);
}

void TBinaryAttributeWriter::WriteRecord() {
  if (record_.Count() == 0) return;
  // The head's size and count become final now.
  int32_t size = record_.Count();
  std::memcpy(record_.Data() + offsetof(BinaryAttributeRecordHead, size), &size, 4);
  std::memcpy(record_.Data() + offsetof(BinaryAttributeRecordHead, attribute_count),
              &attribute_count_, 4);
  if (!file_->Write(record_.Data(), size)) Raise(kCantWriteAttributeFile);
  file_size_ += size;
  ++record_count_;
  record_.Clear();
  attribute_count_ = 0;
}

int64_t TBinaryAttributeWriter::AddRecord(int32_t id, int32_t user_id, const char* class_code) {
  open_ = false;
  WriteRecord();
  if (id == 0 || class_code == nullptr || record_count_ == INT32_MAX) return -1;
  size_t code_length = std::strlen(class_code) + 1;
  int64_t position = file_->Tell();
  if (position + kBinaryAttributeRecordHeadSize + static_cast<int64_t>(code_length) >
      kMaxFileSize) {
    return -1;
  }
  BinaryAttributeRecordHead head{static_cast<int32_t>(kBinaryAttributeRecordHeadSize + code_length),
                                 id, user_id, 0, static_cast<int32_t>(code_length)};
  record_.Resize(static_cast<int32_t>(sizeof(head) + code_length));
  std::memcpy(record_.Data(), &head, sizeof(head));
  std::memcpy(record_.Data() + sizeof(head), class_code, code_length);
  attribute_count_ = 0;
  open_ = true;
  return position;
}

bool TBinaryAttributeWriter::AddEntry(int32_t data_type, std::string_view attribute_id,
                                      const void* value, size_t value_size, bool counted) {
  if (!open_ || attribute_count_ == INT32_MAX) return false;
  size_t entry_size =
      kBinaryAttributeEntryHeadSize + (counted ? 4 : 0) + value_size + attribute_id.size() + 1;
  size_t at = static_cast<size_t>(record_.Count());
  if (file_->Tell() + static_cast<int64_t>(at + entry_size) > kMaxFileSize ||
      at + entry_size > static_cast<size_t>(INT32_MAX)) {
    return false;
  }
  // One resize, then the fields copied into place.
  record_.Resize(static_cast<int32_t>(at + entry_size));
  char* out = record_.Data() + at;
  StoreInt32(out, static_cast<int32_t>(entry_size));
  StoreInt32(out + 4, data_type);
  out += kBinaryAttributeEntryHeadSize;
  if (counted) {
    StoreInt32(out, static_cast<int32_t>(value_size));
    out += 4;
  }
  if (value_size != 0) std::memcpy(out, value, value_size);
  out += value_size;
  if (!attribute_id.empty()) std::memcpy(out, attribute_id.data(), attribute_id.size());
  out[attribute_id.size()] = '\0';
  ++attribute_count_;
  return true;
}

bool TBinaryAttributeWriter::AddIntAttribute(const char* attribute_id, int32_t value) {
  if (attribute_id == nullptr) return false;
  return AddEntry(kDataTypeInteger, attribute_id, &value, sizeof(value), false);
}

bool TBinaryAttributeWriter::AddDoubleAttribute(const char* attribute_id, double value) {
  if (attribute_id == nullptr) return false;
  return AddEntry(kDataTypeDouble, attribute_id, &value, sizeof(value), false);
}

bool TBinaryAttributeWriter::AddStringAttribute(const char* attribute_id, const char* value) {
  if (attribute_id == nullptr || value == nullptr) return false;
  return AddEntry(kDataTypeString, attribute_id, value, std::strlen(value) + 1, true);
}

bool TBinaryAttributeWriter::AddBlobAttribute(const char* attribute_id, const void* bytes,
                                              int32_t count) {
  if (attribute_id == nullptr || count < 0 || (bytes == nullptr && count > 0)) return false;
  return AddEntry(kDataTypeBlob, attribute_id, bytes, static_cast<size_t>(count), true);
}

}  // namespace orvo
