// A small typed value: parses, orders and prints attribute values by the
// attribute's data type.
#ifndef CLASSIFY_VALUE_H_
#define CLASSIFY_VALUE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// Kinds of a TValue. Data types 1 and 2 parse to kInteger and kDouble; every
// other data type keeps the text.
constexpr int32_t kValueInteger = 1;
constexpr int32_t kValueDouble = 2;
constexpr int32_t kValueText = 5;

class TValue {
 public:
  // Kind text, empty text, integer 0, double 0.0.
  TValue() = default;
  // Parses text with the data type (see Parse).
  TValue(int32_t data_type, std::string_view text) { Parse(data_type, text); }

  // Resets the value, then: data type 1 takes the integer by the atoi rule,
  // data type 2 the double by the strtod rule (both locale-independent), any
  // other data type keeps the text unchanged.
  void Parse(int32_t data_type, std::string_view text);

  int32_t Kind() const { return kind_; }
  const std::string& Text() const { return text_; }
  // The value read as an integer: kind 2 truncates toward zero (saturating at
  // the 32-bit limits, 0 for NaN), kind 5 reads the text by the atoi rule.
  int32_t AsInteger() const;
  // The value read as a double: kind 5 reads the text by the strtod rule.
  double AsDouble() const;

  // Decimal integer, the double as "%-.16g", or the text.
  std::string ToString() const;

  // Ordering decided by the kind of the left operand: integers as 32-bit
  // integers, doubles as doubles (NaN equals NaN and sorts after every
  // number), texts by a comparison that folds ASCII letters to upper case. For
  // a text left operand the right operand's text is used as stored.
  bool operator<(const TValue& other) const;
  // Neither is less than the other.
  bool Equals(const TValue& other) const { return !(*this < other) && !(other < *this); }

  // The text comparison of the ordering: negative, 0 or positive.
  static int CompareNoCase(std::string_view a, std::string_view b);

 private:
  int32_t integer_ = 0;
  double double_ = 0.0;
  std::string text_;
  int32_t kind_ = kValueText;
};

}  // namespace orvo

#endif  // CLASSIFY_VALUE_H_
