// Attribute data type codes and local kind codes, and their names in
// classifier files.
#ifndef CLASSIFY_DATA_TYPE_H_
#define CLASSIFY_DATA_TYPE_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/data_types.h"

namespace orvo {

constexpr int32_t kLocalPoint = 1;
constexpr int32_t kLocalLine = 2;
constexpr int32_t kLocalRegion = 3;
constexpr int32_t kLocalText = 4;

// The data type of a type text such as "varchar[32]": the word before the
// first '[', trimmed and upper-cased, is looked up as a substring of
// "INTDOUBLEVARCHARSTRINGBLOBREALTEXTDBASEWORDSINGLE"; only a first occurrence
// at the start of a keyword counts (VAR gives varchar, B gives none).
// kDataTypeNone for an empty or unknown word.
int32_t DataTypeFromTypeText(std::string_view type_text);

// The text strictly between the first '[' and the first ']' of a type text;
// empty unless both are present and ']' does not come before '['.
std::string DataSubTypeFromTypeText(std::string_view type_text);

// The file name of a data type ("int", "double", "char", "varchar", "string",
// "blob"; "string" for any other code), followed by "[sub type]" when the sub
// type is not empty.
std::string TypeTextOf(int32_t data_type, std::string_view sub_type);

// The local kind of a LOCAL value: "PNT", "LIN", "RGN" or "TXT" in upper case
// at its first three characters (anything may follow). 0 when it has none.
int32_t LocalKindFromText(std::string_view text);

// "PNT", "LIN", "RGN" or "TXT" for 1 to 4 and 11 to 14; "PNT" for any other code.
const char* LocalKindName(int32_t local);

}  // namespace orvo

#endif  // CLASSIFY_DATA_TYPE_H_
