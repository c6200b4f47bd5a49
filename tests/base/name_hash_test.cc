// The name hash against an independent bitwise CRC-32 table.
#include "base/name_hash.h"

#include <gtest/gtest.h>

#include <string>

namespace orvo {
namespace {

// Table entry computed bit by bit from the normal polynomial, then reflected:
// an independent route to the standard table.
uint32_t Reflect(uint32_t v, int bits) {
  uint32_t r = 0;
  for (int i = 0; i < bits; ++i)
    if (v & (1u << i)) r |= 1u << (bits - 1 - i);
  return r;
}
uint32_t IndependentEntry(uint32_t index) {
  uint32_t c = Reflect(index, 8) << 24;
  for (int k = 0; k < 8; ++k) c = (c & 0x80000000u) ? (c << 1) ^ 0x04C11DB7u : c << 1;
  return Reflect(c, 32);
}

uint32_t ReferenceHash(const std::string& s) {
  uint32_t h = 0xFFFFFFFFu;
  std::string padded = s + std::string(4, '\0');
  for (char ch : padded) {
    int32_t b = static_cast<signed char>(ch);
    h = ((h << 8) | static_cast<uint32_t>(b)) ^ IndependentEntry(h >> 24);
  }
  return h;
}

TEST(NameHash32, AgreesWithAnIndependentCrcTableAndNamesLowerCasedPaths) {
  EXPECT_EQ(IndependentEntry(1), 0x77073096u);
  EXPECT_EQ(IndependentEntry(2), 0xEE0E612Cu);
  // The data is hashed with four zero bytes after it, empty data too.
  for (std::string s : {std::string(), std::string(4, '\0'), std::string("a"),
                        std::string("c:\\maps\\dem.rst"), std::string("\xff\x80 high bytes")})
    EXPECT_EQ(NameHash32(s.data(), s.size()), ReferenceHash(s)) << s;
  EXPECT_EQ(NameHash32("abc", 0), ReferenceHash(""));  // only size bytes are read
  // CrcName is the hash of the lower-cased path.
  std::string name = CrcName("C:\\Maps\\DEM.rst");
  EXPECT_EQ(name, CrcName("c:\\maps\\dem.rst"));
  char expected[32];
  std::snprintf(expected, sizeof(expected), "crcName[%08x]", ReferenceHash("c:\\maps\\dem.rst"));
  EXPECT_EQ(name, expected);
}

}  // namespace
}  // namespace orvo
