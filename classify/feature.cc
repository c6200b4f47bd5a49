// The attribute list of a feature type.
#include "classify/feature.h"

#include <algorithm>

#include "base/strings.h"

namespace orvo {

bool TFeature::Lists(const std::string& upper_id) const {
  return std::find(attribute_ids_.begin(), attribute_ids_.end(), upper_id) != attribute_ids_.end();
}

std::string TFeature::AttributeId(int32_t index) const {
  if (index < 0 || index >= AttributeCount()) return std::string();
  return attribute_ids_[static_cast<size_t>(index)];
}

bool TFeature::AddAttribute(std::string_view id, bool /*must_be*/) {
  std::string upper = UpperCopy(id);
  if (Lists(upper)) return false;
  attribute_ids_.push_back(std::move(upper));
  return true;
}

bool TFeature::ReplaceAttribute(int32_t index, std::string_view id, bool /*must_be*/) {
  if (index < 0 || index >= AttributeCount()) return false;
  std::string upper = UpperCopy(id);
  if (Lists(upper)) return false;
  attribute_ids_[static_cast<size_t>(index)] = std::move(upper);
  return true;
}

bool TFeature::IsAttributeMustBe(int32_t /*index*/) const { return false; }

void TFeature::EraseAttribute(std::string_view id) {
  auto it = std::find(attribute_ids_.begin(), attribute_ids_.end(), UpperCopy(id));
  if (it != attribute_ids_.end()) attribute_ids_.erase(it);
}

}  // namespace orvo
