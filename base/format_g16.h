// Exact fast path of "%-.16g" for the doubles map coordinates are made of
// (finite, 1e-4 <= |v| < 1e16), by 64-bit integer arithmetic only, so that it
// is the same on 32-bit builds. FormatG16 writes at most 24 bytes and returns
// the end of the text, or nullptr when the value is outside the fast range
// (callers then fall back to std::to_chars). Exact ties round half to even,
// as printf does.
#ifndef BASE_FORMAT_G16_H_
#define BASE_FORMAT_G16_H_

#include <cstdint>
#include <cstring>

namespace orvo {
namespace fast_g16 {

inline void Mul64(uint64_t a, uint64_t b, uint64_t* hi, uint64_t* lo) {
  uint64_t a_lo = a & 0xFFFFFFFFu, a_hi = a >> 32;
  uint64_t b_lo = b & 0xFFFFFFFFu, b_hi = b >> 32;
  uint64_t p0 = a_lo * b_lo, p1 = a_lo * b_hi, p2 = a_hi * b_lo, p3 = a_hi * b_hi;
  uint64_t mid = (p0 >> 32) + (p1 & 0xFFFFFFFFu) + (p2 & 0xFFFFFFFFu);
  *lo = (mid << 32) | (p0 & 0xFFFFFFFFu);
  *hi = p3 + (p1 >> 32) + (p2 >> 32) + (mid >> 32);
}

constexpr uint64_t kPow10[20] = {1ull,
                                 10ull,
                                 100ull,
                                 1000ull,
                                 10000ull,
                                 100000ull,
                                 1000000ull,
                                 10000000ull,
                                 100000000ull,
                                 1000000000ull,
                                 10000000000ull,
                                 100000000000ull,
                                 1000000000000ull,
                                 10000000000000ull,
                                 100000000000000ull,
                                 1000000000000000ull,
                                 10000000000000000ull,
                                 100000000000000000ull,
                                 1000000000000000000ull,
                                 10000000000000000000ull};

// round(m * 2^exp2 * 10^f), half to even; f in 0..19, exp2 in -127..1.
inline uint64_t Scaled(uint64_t m, int exp2, int f) {
  uint64_t hi, lo;
  Mul64(m, kPow10[f], &hi, &lo);
  if (exp2 >= 0) return lo << exp2;  // exact; small by the range checks
  int k = -exp2;
  uint64_t q, round_bit, sticky;
  if (k < 64) {
    q = (lo >> k) | (k == 0 ? 0 : hi << (64 - k));
    round_bit = (lo >> (k - 1)) & 1;
    sticky = (k >= 2) ? (lo & ((uint64_t{1} << (k - 1)) - 1)) : 0;
  } else if (k == 64) {
    q = hi;
    round_bit = lo >> 63;
    sticky = lo & ((uint64_t{1} << 63) - 1);
  } else {
    int s = k - 64;  // 1..63
    q = hi >> s;
    round_bit = (hi >> (s - 1)) & 1;
    sticky = lo | (s >= 2 ? (hi & ((uint64_t{1} << (s - 1)) - 1)) : 0);
  }
  if (round_bit && (sticky || (q & 1))) ++q;
  return q;
}

// Eight decimal digits of v (below 10^8), two at a time.
inline void WriteDigits8(uint32_t v, char* out) {
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  uint32_t high = v / 10000, low = v % 10000;
  std::memcpy(out, kPairs + 2 * (high / 100), 2);
  std::memcpy(out + 2, kPairs + 2 * (high % 100), 2);
  std::memcpy(out + 4, kPairs + 2 * (low / 100), 2);
  std::memcpy(out + 6, kPairs + 2 * (low % 100), 2);
}

inline char* FormatG16(double value, char* out) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  bool negative = (bits >> 63) != 0;
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if (biased == 0 && fraction == 0) {  // zero, with its sign
    if (negative) *out++ = '-';
    *out++ = '0';
    return out;
  }
  double a = negative ? -value : value;
  if (biased == 0x7FF || !(a >= 1e-4) || !(a < 1e16)) return nullptr;
  uint64_t m = fraction | (uint64_t{1} << 52);
  int exp2 = biased - 1075;
  // Decimal exponent: estimate from the binary one, then settle it on the
  // rounded 16-digit value (which is what printf's %g decides by).
  int e = ((exp2 + 52) * 78913) >> 18;  // floor(log10(2^(exp2+52)))
  if (e < -4) e = -4;
  if (e > 15) e = 15;
  uint64_t q = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    q = Scaled(m, exp2, 15 - e);
    if (q >= kPow10[16]) {
      if (e == 15) return nullptr;
      ++e;
    } else if (q < kPow10[15]) {
      if (e == -4) return nullptr;
      --e;
    } else {
      break;
    }
  }
  if (q < kPow10[15] || q >= kPow10[16]) return nullptr;
  char digits[16];
  WriteDigits8(static_cast<uint32_t>(q / 100000000u), digits);
  WriteDigits8(static_cast<uint32_t>(q % 100000000u), digits + 8);
  int last = 15;  // last significant digit after trailing zeros are dropped
  while (last > 0 && digits[last] == '0') --last;
  if (negative) *out++ = '-';
  if (e >= 0) {
    std::memcpy(out, digits, static_cast<size_t>(e + 1));
    out += e + 1;
    if (last > e) {
      *out++ = '.';
      std::memcpy(out, digits + e + 1, static_cast<size_t>(last - e));
      out += last - e;
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    for (int i = 0; i < -e - 1; ++i) *out++ = '0';
    std::memcpy(out, digits, static_cast<size_t>(last + 1));
    out += last + 1;
  }
  return out;
}

}  // namespace fast_g16
}  // namespace orvo

#endif  // BASE_FORMAT_G16_H_
