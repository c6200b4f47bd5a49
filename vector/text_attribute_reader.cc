// Text attribute files: splitting record lines into fields.
#include "vector/text_attribute_reader.h"

#include "base/c_numbers.h"
#include "base/strings.h"
#include "vector/attribute_record.h"

namespace orvo {

TAttributeReader::TAttributeReader(const char* file_name)
    : file_(std::make_unique<TTextFileReader64>(file_name)), tokenizer_(',', '"') {
  line_.SetLength(kMaxLineLength + 1);
  Reset();
}

TAttributeReader::~TAttributeReader() = default;

void TAttributeReader::Clear() {
  field_count_ = 0;
  id_ = 0;
  user_id_ = 0;
  attribute_count_ = 0;
  position_ = 0;
}

void TAttributeReader::Reset() {
  file_->Seek(0);
  Clear();
}

bool TAttributeReader::ReadNext() {
  for (;;) {
    Clear();
    int64_t start = file_->Tell();
    if (start < 0 || start >= file_->Size()) return false;
    if (!file_->ReadLine(line_.Chars(), kMaxLineLength)) return false;
    tokenizer_.Reset(line_.Chars());
    for (;;) {
      if (field_count_ == static_cast<int32_t>(fields_.size())) fields_.emplace_back();
      if (!tokenizer_.Next(fields_[field_count_])) break;
      ++field_count_;
    }
    if (field_count_ < 3) continue;
    id_ = CAtoi(fields_[0]);
    if (id_ == 0) continue;
    user_id_ = CAtoi(fields_[1]);
    // Fields from 3 on alternate: attribute id, value.
    attribute_count_ = (field_count_ - 3 + 1) / 2;
    position_ = start;
    return true;
  }
}

bool TAttributeReader::SetPosition(int64_t position) {
  if (!file_->Seek(position)) {
    Clear();
    return false;
  }
  return ReadNext();
}

std::string_view TAttributeReader::GetClassCode() const { return Field(2); }

std::string_view TAttributeReader::GetAttributeId(int32_t index) const {
  if (!HasAttribute(index)) return std::string_view("");
  return Field(3 + 2 * index);
}

std::string_view TAttributeReader::GetAttribute(int32_t index) const {
  if (index == -1) return GetClassCode();
  if (!HasAttribute(index)) return std::string_view("");
  return Field(4 + 2 * index);
}

bool TAttributeReader::FindAttributeText(int32_t index, std::string&,
                                         std::string_view* text) const {
  if (!HasAttribute(index) && !(index == -1 && HasRecord())) return false;
  *text = GetAttribute(index);
  return true;
}

int32_t TAttributeReader::GetAttributeDataType(int32_t index) const {
  return HasAttribute(index) ? kDataTypeString : kDataTypeNone;
}

int32_t TAttributeReader::GetInt(int32_t index) const {
  return HasAttribute(index) ? CAtoi(GetAttribute(index)) : 0;
}

double TAttributeReader::GetDouble(int32_t index) const {
  if (!HasAttribute(index) || 4 + 2 * index >= field_count_) return 0.0;
  return StrToDouble(fields_[4 + 2 * index].c_str());
}

int32_t TAttributeReader::GetBlob(int32_t index, void* buffer, int32_t size) const {
  if (!HasAttribute(index)) return 0;
  return DecodeBlobText(GetAttribute(index), static_cast<uint8_t*>(buffer), size);
}

}  // namespace orvo
