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
  return values_[static_cast<size_t>(index)];
}

std::string TAttribute::ValueAnno(int32_t index) const {
  if (index < 0 || index >= ValueCount()) return std::string();
  return value_annos_[static_cast<size_t>(index)];
}

void TAttribute::SetValue(int32_t index, std::string_view text) {
  if (index < 0 || index >= ValueCount()) return;
  values_[static_cast<size_t>(index)].assign(text);
  value_index_stale_ = true;
}

void TAttribute::SetValueAnno(int32_t index, std::string_view text) {
  if (index < 0 || index >= ValueCount()) return;
  value_annos_[static_cast<size_t>(index)].assign(text);
}

void TAttribute::ReserveValues(int32_t n) {
  if (n <= 0) return;
  values_.reserve(static_cast<size_t>(n));
  value_annos_.reserve(static_cast<size_t>(n));
}

void TAttribute::AddValue(std::string_view text, std::string_view anno) {
  if (text.empty()) return;
  values_.emplace_back(text);
  value_annos_.emplace_back(anno);
  value_index_stale_ = true;
}

void TAttribute::EraseValue(int32_t index) {
  if (index < 0 || index >= ValueCount()) return;
  values_.erase(values_.begin() + index);
  value_annos_.erase(value_annos_.begin() + index);
  value_index_stale_ = true;
}

void TAttribute::EraseValueByText(std::string_view text) {
  size_t kept = 0;
  for (size_t i = 0; i < values_.size(); ++i) {
    if (TValue::CompareNoCase(values_[i], text) == 0) continue;
    if (kept != i) {
      values_[kept] = std::move(values_[i]);
      value_annos_[kept] = std::move(value_annos_[i]);
    }
    ++kept;
  }
  values_.resize(kept);
  value_annos_.resize(kept);
  value_index_stale_ = true;
}

void TAttribute::ClearValues() {
  values_.clear();
  value_annos_.clear();
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
