// Fields, allowed values and limits of an attribute type.
#include "classify/attribute.h"

namespace orvo {

void TAttribute::SetDataType(int32_t data_type) {
  data_type_ = data_type;
  min_value_.Parse(data_type_, min_);
  max_value_.Parse(data_type_, max_);
  value_index_stale_ = true;
}

void TAttribute::SetDefault(std::string_view text) {
  default_.assign(text.empty() ? std::string_view("0") : text);
  has_default_ = true;
}

void TAttribute::ClearDefault() {
  default_.clear();
  has_default_ = false;
}

std::string TAttribute::Value(int32_t index) const {
  if (index < 0 || index >= ValueCount()) return std::string();
  return std::string(values_.Value(static_cast<size_t>(index)));
}

std::string TAttribute::ValueAnno(int32_t index) const {
  if (index < 0 || index >= ValueCount()) return std::string();
  return std::string(values_.Anno(static_cast<size_t>(index)));
}

void TAttribute::SetValue(int32_t index, std::string_view text) {
  if (index < 0 || index >= ValueCount()) return;
  size_t i = static_cast<size_t>(index);
  values_.Set(i, text, values_.Anno(i));
  value_index_stale_ = true;
}

void TAttribute::SetValueAnno(int32_t index, std::string_view text) {
  if (index < 0 || index >= ValueCount()) return;
  size_t i = static_cast<size_t>(index);
  values_.Set(i, values_.Value(i), text);
}

void TAttribute::ReserveValues(int32_t n, size_t text_bytes) {
  if (n > 0) values_.Reserve(static_cast<size_t>(n), text_bytes);
}

void TAttribute::AddValue(std::string_view text, std::string_view anno) {
  if (text.empty()) return;
  values_.Add(text, anno);
  value_index_stale_ = true;
}

void TAttribute::EraseValue(int32_t index) {
  if (index < 0 || index >= ValueCount()) return;
  values_.Erase(static_cast<size_t>(index));
  value_index_stale_ = true;
}

void TAttribute::EraseValueByText(std::string_view text) {
  values_.Filter([&](std::string_view value) { return TValue::CompareNoCase(value, text) != 0; });
  value_index_stale_ = true;
}

void TAttribute::ClearValues() {
  values_.Clear();
  value_index_stale_ = true;
}

void TAttribute::SetMax(std::string_view text) {
  max_.assign(text);
  max_value_.Parse(data_type_, max_);
  UpdateLimits();
}

void TAttribute::SetMin(std::string_view text) {
  min_.assign(text);
  min_value_.Parse(data_type_, min_);
  UpdateLimits();
}

void TAttribute::ClearMinMax() {
  min_.clear();
  max_.clear();
  min_value_.Parse(data_type_, min_);
  max_value_.Parse(data_type_, max_);
  UpdateLimits();
}

void TAttribute::UpdateLimits() { has_limits_ = !min_.empty() && !max_.empty(); }

}  // namespace orvo
