// Parsing, ordering and printing of typed attribute values.
#include "classify/value.h"

#include <cmath>

#include "base/c_numbers.h"
#include "base/strings.h"

namespace orvo {
namespace {

unsigned char FoldAscii(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// A total order on doubles that keeps NaN out of every range: NaN equals NaN
// and sorts after all numbers, so a NaN candidate fails an upper limit and a NaN
// allowed value matches only NaN.
bool DoubleLess(double a, double b) {
  if (std::isnan(a)) return false;
  if (std::isnan(b)) return true;
  return a < b;
}

}  // namespace

void TValue::Parse(int32_t data_type, std::string_view text) {
  integer_ = 0;
  double_ = 0.0;
  text_.clear();
  kind_ = kValueText;
  if (data_type == kValueInteger) {
    kind_ = kValueInteger;
    integer_ = CAtoi(text);
  } else if (data_type == kValueDouble) {
    kind_ = kValueDouble;
    double_ = CStrtod(text);
  } else {
    text_.assign(text);
  }
}

int32_t TValue::AsInteger() const {
  switch (kind_) {
    case kValueInteger:
      return integer_;
    case kValueDouble:
      if (std::isnan(double_)) return 0;
      if (double_ >= 2147483647.0) return INT32_MAX;
      if (double_ <= -2147483648.0) return INT32_MIN;
      return static_cast<int32_t>(double_);  // truncates toward zero
    default:
      return CAtoi(text_);
  }
}

double TValue::AsDouble() const {
  switch (kind_) {
    case kValueInteger:
      return integer_;
    case kValueDouble:
      return double_;
    default:
      return CStrtod(text_);
  }
}

std::string TValue::ToString() const {
  switch (kind_) {
    case kValueInteger:
      return std::to_string(integer_);
    case kValueDouble:
      return DoubleToString(double_);
    default:
      return text_;
  }
}

int TValue::CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = FoldAscii(a[i]);
    unsigned char y = FoldAscii(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool TValue::operator<(const TValue& other) const {
  switch (kind_) {
    case kValueInteger:
      return integer_ < other.AsInteger();
    case kValueDouble:
      return DoubleLess(double_, other.AsDouble());
    default:
      return CompareNoCase(text_, other.text_) < 0;
  }
}

}  // namespace orvo
