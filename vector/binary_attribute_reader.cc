// Binary attribute files: checking and reading records in place.
#include "vector/binary_attribute_reader.h"

#include <cstring>

#include "vector/attribute_record.h"
#include "vector/binary_attribute_format.h"

namespace orvo {

namespace {

int32_t LoadInt32(const uint8_t* p) {
  int32_t value;
  std::memcpy(&value, p, sizeof(value));
  return value;
}

size_t BoundedLength(const uint8_t* p, size_t limit) {
  const void* nul = std::memchr(p, 0, limit);
  return nul == nullptr ? limit : static_cast<size_t>(static_cast<const uint8_t*>(nul) - p);
}

}  // namespace

TBinaryAttributeReader::TBinaryAttributeReader(const char* file_name)
    : file_(std::make_unique<TFileReader>(file_name)),
      data_(file_->Data()),
      size_(file_->Data() == nullptr ? 0 : file_->Size()) {
  Reset();
}

TBinaryAttributeReader::~TBinaryAttributeReader() = default;

void TBinaryAttributeReader::ClearRecord() {
  has_record_ = false;
  record_ = 0;
  id_ = 0;
  user_id_ = 0;
  class_code_ = nullptr;
  class_code_length_ = 0;
  entries_.Clear();
}

void TBinaryAttributeReader::Reset() {
  ClearRecord();
  next_ = kBinaryAttributeHeaderSize;
}

bool TBinaryAttributeReader::End() {
  ClearRecord();
  next_ = size_;
  return false;
}

bool TBinaryAttributeReader::ReadNext() {
  ClearRecord();
  while (next_ < size_) {
    int64_t offset = next_;
    if (size_ - offset < kBinaryAttributeRecordHeadSize) return End();
    int32_t size = LoadInt32(data_ + offset);
    // A size below the head would stand still or walk backwards.
    if (size < kBinaryAttributeRecordHeadSize || size > size_ - offset) return End();
    next_ = offset + size;
    if (LoadInt32(data_ + offset + offsetof(BinaryAttributeRecordHead, id)) == 0) continue;
    if (!LoadRecord(offset, size)) return End();
    return true;
  }
  return false;
}

bool TBinaryAttributeReader::SetPosition(int64_t position) {
  ClearRecord();
  if (position < 0 || position > size_) return false;
  next_ = position;
  return ReadNext();
}

bool TBinaryAttributeReader::LoadRecord(int64_t offset, int32_t size) {
  BinaryAttributeRecordHead head;
  std::memcpy(&head, data_ + offset, sizeof(head));
  const uint8_t* record = data_ + offset;
  const uint8_t* end = record + size;
  int32_t room = size - kBinaryAttributeRecordHeadSize;
  if (head.class_code_length < 0 || head.class_code_length > room) return false;
  room -= head.class_code_length;
  // Every entry takes at least kBinaryAttributeMinEntrySize bytes; a count
  // beyond that is damage, and must not size the entry table.
  if (head.attribute_count < 0 || head.attribute_count > room / kBinaryAttributeMinEntrySize) {
    return false;
  }
  const uint8_t* code = record + kBinaryAttributeRecordHeadSize;
  entries_.Reserve(head.attribute_count);
  const uint8_t* at = code + head.class_code_length;
  for (int32_t i = 0; i < head.attribute_count; ++i) {
    int64_t left = end - at;
    if (left < kBinaryAttributeMinEntrySize) return false;
    Entry entry;
    entry.at = at;
    entry.size = LoadInt32(at);
    entry.data_type = LoadInt32(at + offsetof(BinaryAttributeEntryHead, data_type));
    if (entry.size < kBinaryAttributeMinEntrySize || entry.size > left) return false;
    int32_t id_offset = entry.size;
    bool known = true;
    switch (entry.data_type) {
      case kDataTypeInteger:
        id_offset = kBinaryAttributeIntIdOffset;
        break;
      case kDataTypeDouble:
        id_offset = kBinaryAttributeDoubleIdOffset;
        break;
      case kDataTypeString:
      case kDataTypeBlob: {
        int32_t count = LoadInt32(at + kBinaryAttributeValueOffset);
        if (count < 0 || count > entry.size - kBinaryAttributeBytesOffset) return false;
        id_offset = kBinaryAttributeBytesOffset + count;
        break;
      }
      default:
        // A type this reader does not know: stepped over, read as empty.
        known = false;
        break;
    }
    // Known types keep at least the NUL of their attribute id.
    if (known && id_offset >= entry.size) return false;
    entry.id_offset = id_offset;
    entries_.Add(entry);
    at += entry.size;
  }
  has_record_ = true;
  record_ = offset;
  class_code_ = code;
  class_code_length_ = head.class_code_length;
  id_ = head.id;
  user_id_ = head.user_id;
  return true;
}

// Texts in the file end at their NUL or at the end of their field, whichever
// comes first; their lengths are found only when they are asked for.
std::string_view TBinaryAttributeReader::GetClassCode() const {
  if (class_code_ == nullptr) return std::string_view("");
  return std::string_view(reinterpret_cast<const char*>(class_code_),
                          BoundedLength(class_code_, static_cast<size_t>(class_code_length_)));
}

std::string_view TBinaryAttributeReader::GetAttributeId(int32_t index) const {
  if (!HasAttribute(index)) return std::string_view("");
  const Entry& entry = entries_[index];
  const uint8_t* id = entry.at + entry.id_offset;
  return std::string_view(reinterpret_cast<const char*>(id),
                          BoundedLength(id, static_cast<size_t>(entry.size - entry.id_offset)));
}

int32_t TBinaryAttributeReader::GetAttributeDataType(int32_t index) const {
  return HasAttribute(index) ? entries_[index].data_type : kDataTypeNone;
}

int32_t TBinaryAttributeReader::StoredInt(const Entry& entry) const {
  return LoadInt32(entry.at + kBinaryAttributeValueOffset);
}

int32_t TBinaryAttributeReader::GetInt(int32_t index) const {
  return HasAttribute(index) ? StoredInt(entries_[index]) : 0;
}

double TBinaryAttributeReader::GetDouble(int32_t index) const {
  if (!HasAttribute(index)) return 0.0;
  const Entry& entry = entries_[index];
  uint8_t bytes[sizeof(double)] = {};
  size_t available = static_cast<size_t>(entry.size - kBinaryAttributeValueOffset);
  std::memcpy(bytes, entry.at + kBinaryAttributeValueOffset,
              available < sizeof(bytes) ? available : sizeof(bytes));
  double value;
  std::memcpy(&value, bytes, sizeof(value));
  return value;
}

int32_t TBinaryAttributeReader::GetBlob(int32_t index, void* buffer, int32_t size) const {
  if (!HasAttribute(index)) return 0;
  const Entry& entry = entries_[index];
  if (entry.data_type != kDataTypeBlob && entry.data_type != kDataTypeString) return 0;
  int32_t count = StoredInt(entry);
  if (buffer != nullptr && count <= size && count > 0) {
    std::memcpy(buffer, entry.at + kBinaryAttributeBytesOffset, static_cast<size_t>(count));
  }
  return count;
}

bool TBinaryAttributeReader::FindAttributeText(int32_t index, std::string& scratch,
                                               std::string_view* text) const {
  if (!HasAttribute(index)) return false;
  *text = GetAttribute(index, scratch);
  return true;
}

std::string_view TBinaryAttributeReader::GetAttribute(int32_t index, std::string& scratch) const {
  if (!HasAttribute(index)) return std::string_view("");
  const Entry& entry = entries_[index];
  const uint8_t* bytes = entry.at + kBinaryAttributeBytesOffset;
  scratch.clear();
  switch (entry.data_type) {
    case kDataTypeInteger:
      AppendIntText(scratch, StoredInt(entry));
      return scratch;
    case kDataTypeDouble:
      AppendDoubleText(scratch, GetDouble(index));
      return scratch;
    case kDataTypeString:
      return std::string_view(reinterpret_cast<const char*>(bytes),
                              BoundedLength(bytes, static_cast<size_t>(StoredInt(entry))));
    case kDataTypeBlob:
      AppendBlobText(scratch, bytes, static_cast<size_t>(StoredInt(entry)));
      return scratch;
    default:
      return std::string_view("");
  }
}

}  // namespace orvo
