// Text attribute files: formatting of record lines.
#include "vector/text_attribute_writer.h"

#include <cstring>

#include "base/errors.h"
#include "vector/attribute_record.h"

namespace orvo {

namespace {

bool NeedsQuoting(std::string_view text) {
  return text.find_first_of("\",\\\r\n") != std::string_view::npos;
}

}  // namespace

void AppendQuotedAttributeText(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '\r' || c == '\n') continue;
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

TAttributeWriter::TAttributeWriter(const char* file_name)
    : file_(std::make_unique<TFileWriter64>(file_name, kBufferRequest)) {}

TAttributeWriter::~TAttributeWriter() {
  try {
    WritePendingLine();
  } catch (...) {
    // Nothing more can be done for the last line of a file that cannot grow.
  }
}

void TAttributeWriter::WritePendingLine() {
  if (line_.empty()) return;
  line_ += "\r\n";
  if (!file_->Write(line_.data(), static_cast<int64_t>(line_.size()))) {
    line_.resize(line_.size() - 2);
    Raise(kCantWriteAttributeFile);
  }
  line_.clear();
}

int64_t TAttributeWriter::AddRecord(int32_t id, int32_t user_id, const char* class_code) {
  // Until the new record is accepted, attributes belong to no line.
  discarding_ = true;
  WritePendingLine();
  if (id == 0 || class_code == nullptr) return -1;
  piece_.clear();
  AppendIntText(piece_, id);
  piece_ += ',';
  AppendIntText(piece_, user_id);
  piece_ += ',';
  // The class code is always quoted; escaping changes only codes holding a
  // quote, backslash or line end.
  AppendQuotedAttributeText(piece_, class_code);
  piece_ += ',';
  if (piece_.size() > kMaxLineLength) return -1;
  line_.swap(piece_);
  discarding_ = false;
  return file_->Tell();
}

bool TAttributeWriter::AddAttribute(const char* attribute_id, const char* value) {
  if (attribute_id == nullptr || value == nullptr) return false;
  return AddAttribute(std::string_view(attribute_id), std::string_view(value));
}

bool TAttributeWriter::AddStringAttribute(const char* attribute_id, const char* value) {
  return AddAttribute(attribute_id, value);
}

bool TAttributeWriter::AddValueText(const char* attribute_id) {
  if (attribute_id == nullptr) return false;
  return AddAttribute(std::string_view(attribute_id), value_);
}

bool TAttributeWriter::AddIntAttribute(const char* attribute_id, int32_t value) {
  value_.clear();
  AppendIntText(value_, value);
  return AddValueText(attribute_id);
}

bool TAttributeWriter::AddDoubleAttribute(const char* attribute_id, double value) {
  value_.clear();
  AppendDoubleText(value_, value);
  return AddValueText(attribute_id);
}

bool TAttributeWriter::AddBlobAttribute(const char* attribute_id, const void* bytes,
                                        int32_t count) {
  if (count < 0 || (bytes == nullptr && count > 0)) return false;
  value_.clear();
  AppendBlobText(value_, static_cast<const uint8_t*>(bytes), static_cast<size_t>(count));
  return AddValueText(attribute_id);
}

bool TAttributeWriter::AddAttribute(std::string_view attribute_id, std::string_view value) {
  if (discarding_) return false;
  piece_.clear();
  if (NeedsQuoting(attribute_id)) {
    AppendQuotedAttributeText(piece_, attribute_id);
  } else {
    piece_.append(attribute_id);
  }
  piece_ += ',';
  AppendQuotedAttributeText(piece_, value);
  piece_ += ',';
  if (line_.size() + piece_.size() > kMaxLineLength) return false;
  line_ += piece_;
  return true;
}

}  // namespace orvo
