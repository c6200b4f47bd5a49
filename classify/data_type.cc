// Type names and local kind names of classifier files.
#include "classify/data_type.h"

#include "base/strings.h"

namespace orvo {
namespace {

constexpr std::string_view kTypeKeywords = "INTDOUBLEVARCHARSTRINGBLOBREALTEXTDBASEWORDSINGLE";

}  // namespace

int32_t DataTypeFromTypeText(std::string_view type_text) {
  std::string word = UpperCopy(TrimCSpace(type_text.substr(0, type_text.find('['))));
  if (word.empty()) return kDataTypeNone;
  size_t at = kTypeKeywords.find(word);
  if (at == std::string_view::npos) return kDataTypeNone;
  switch (at + 1) {  // 1-based positions of the keywords
    case 1:          // INT
    case 35:         // DBASE
    case 40:         // WORD
      return kDataTypeInteger;
    case 4:   // DOUBLE
    case 27:  // REAL
    case 44:  // SINGLE
      return kDataTypeDouble;
    case 13:  // CHAR
      return kDataTypeChar;
    case 10:  // VARCHAR
      return kDataTypeVarchar;
    case 17:  // STRING
    case 31:  // TEXT
      return kDataTypeString;
    case 23:  // BLOB
      return kDataTypeBlob;
    default:
      return kDataTypeNone;
  }
}

std::string DataSubTypeFromTypeText(std::string_view type_text) {
  size_t open = type_text.find('[');
  size_t close = type_text.find(']');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::string();
  return std::string(type_text.substr(open + 1, close - open - 1));
}

std::string TypeTextOf(int32_t data_type, std::string_view sub_type) {
  std::string text;
  switch (data_type) {
    case kDataTypeInteger:
      text = "int";
      break;
    case kDataTypeDouble:
      text = "double";
      break;
    case kDataTypeChar:
      text = "char";
      break;
    case kDataTypeVarchar:
      text = "varchar";
      break;
    case kDataTypeBlob:
      text = "blob";
      break;
    default:
      text = "string";
      break;
  }
  if (!sub_type.empty()) {
    text += '[';
    text += sub_type;
    text += ']';
  }
  return text;
}

int32_t LocalKindFromText(std::string_view text) {
  std::string_view head = text.substr(0, 3);
  if (head == "PNT") return kLocalPoint;
  if (head == "LIN") return kLocalLine;
  if (head == "RGN") return kLocalRegion;
  if (head == "TXT") return kLocalText;
  return 0;
}

const char* LocalKindName(int32_t local) {
  switch (local) {
    case 2:
    case 12:
      return "LIN";
    case 3:
    case 13:
      return "RGN";
    case 4:
    case 14:
      return "TXT";
    default:
      return "PNT";
  }
}

}  // namespace orvo
