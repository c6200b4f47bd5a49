// The C runtime's atoi and strtod rules, without the C locale: numbers in
// files must read the same whatever locale the host has set.
#ifndef BASE_C_NUMBERS_H_
#define BASE_C_NUMBERS_H_

#include <cstdint>
#include <string_view>

namespace orvo {

// atoi: leading white space (space, tab, LF, VT, FF, CR) skipped, an optional
// sign, then decimal digits up to the first other character. 0 when no digit
// follows. Values beyond the 32-bit range saturate to INT32_MIN / INT32_MAX.
int32_t CAtoi(std::string_view text);

// strtod: leading white space skipped, an optional sign, then a decimal number
// with optional fraction and exponent, "inf", "infinity", "nan" or a
// hexadecimal number after "0x". The decimal separator is always '.'. 0.0 when
// nothing can be read; overflow gives +-HUGE_VAL and underflow +-0.0.
double CStrtod(std::string_view text);

}  // namespace orvo

#endif  // BASE_C_NUMBERS_H_
