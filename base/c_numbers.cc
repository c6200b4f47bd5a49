// Locale-independent atoi and strtod.
#include "base/c_numbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "base/strings.h"

namespace orvo {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Rough magnitude of an out-of-range decimal number: true when it overflowed
// rather than underflowed. Decided by the exponent and the position of the
// first non-zero mantissa digit relative to the point.
bool IsOverflow(std::string_view digits, bool hex) {
  int64_t scale = 0;  // decimal (or binary for hex) exponent of first digit
  bool seen_point = false;
  bool seen_digit = false;
  size_t i = 0;
  for (; i < digits.size(); ++i) {
    char c = digits[i];
    if (c == '.') {
      seen_point = true;
      continue;
    }
    bool is_digit = hex ? IsHexDigit(c) : (c >= '0' && c <= '9');
    if (!is_digit) break;
    if (c != '0') seen_digit = true;
    if (!seen_point && seen_digit) ++scale;
    if (seen_point && !seen_digit) --scale;
  }
  int64_t exponent = 0;
  if (i < digits.size() &&
      (digits[i] == 'e' || digits[i] == 'E' || digits[i] == 'p' || digits[i] == 'P')) {
    ++i;
    bool negative = false;
    if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) negative = digits[i++] == '-';
    for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i)
      if (exponent < 1000000000) exponent = exponent * 10 + (digits[i] - '0');
    if (negative) exponent = -exponent;
  }
  return scale + exponent > 0;
}

}  // namespace

int32_t CAtoi(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;  // saturate
  }
  if (negative) value = -value;
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

double CStrtod(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::string_view rest = text.substr(i);
  // from_chars takes no sign of its own here: a second sign is not a number.
  if (rest.empty() || rest[0] == '+' || rest[0] == '-') return 0.0;
  bool hex = rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
             (IsHexDigit(rest[2]) || (rest[2] == '.' && rest.size() > 3 && IsHexDigit(rest[3])));
  if (hex) rest.remove_prefix(2);
  double value = 0.0;
  auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value,
                                hex ? std::chars_format::hex : std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    value = IsOverflow(rest, hex) ? HUGE_VAL : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace orvo
