// Judging candidate values against an attribute's type, range and allowed
// values, with the reason of a refusal.
#include "base/strings.h"
#include "classify/attribute.h"

namespace orvo {

const char kReasonNotInRange[] = "value not in range";
const char kReasonNotInValues[] = "value not in allowed values list";
const char kReasonWrongDatatype[] = "wrong datatype";

void TAttribute::RebuildValueIndex() {
  if (!value_index_stale_) return;
  value_index_.clear();
  for (size_t i = 0; i < values_.Count(); ++i)  // emplace keeps the first of equal values
    value_index_.emplace(TValue(data_type_, values_.Value(i)), static_cast<int32_t>(i));
  value_index_stale_ = false;
}

bool TAttribute::CheckString(std::string_view text) {
  try {
    reason_.clear();
    TValue value(data_type_, text);
    if (has_limits_) {
      // Inclusive bounds; the candidate is the left operand against min, the
      // max value against the candidate.
      if (min_.empty() || value < min_value_ || max_.empty() || max_value_ < value) {
        reason_ = kReasonNotInRange;
        return false;
      }
    }
    if (!values_.Empty()) {
      RebuildValueIndex();
      if (value_index_.find(value) == value_index_.end()) {
        reason_ = kReasonNotInValues;
        return false;
      }
    }
    return true;
  } catch (...) {
    // The reason fits the string's inline buffer: assigning it cannot fail.
    reason_ = kReasonWrongDatatype;
    value_index_stale_ = true;
    return false;
  }
}

bool TAttribute::CheckInt(int32_t value) {
  std::string text;
  try {
    text = DoubleToString(static_cast<double>(value));
  } catch (...) {
    reason_ = kReasonWrongDatatype;
    return false;
  }
  return CheckString(text);
}

bool TAttribute::CheckDouble(double value) {
  std::string text;
  try {
    text = DoubleToString(value);
  } catch (...) {
    reason_ = kReasonWrongDatatype;
    return false;
  }
  return CheckString(text);
}

int32_t TAttribute::FindValueIndex(std::string_view text) {
  RebuildValueIndex();
  auto it = value_index_.find(TValue(data_type_, text));
  return it == value_index_.end() ? -1 : it->second;
}

}  // namespace orvo
