// Data type codes of attribute values, shared by the classifier and the
// attribute files.
#ifndef BASE_DATA_TYPES_H_
#define BASE_DATA_TYPES_H_

#include <cstdint>

namespace orvo {

constexpr int32_t kDataTypeNone = -1;
constexpr int32_t kDataTypeInteger = 1;
constexpr int32_t kDataTypeDouble = 2;
constexpr int32_t kDataTypeChar = 3;
constexpr int32_t kDataTypeVarchar = 4;
constexpr int32_t kDataTypeString = 5;
constexpr int32_t kDataTypeBlob = 6;

}  // namespace orvo

#endif  // BASE_DATA_TYPES_H_
