// CRC-table name hash and shared-object names.
#include "base/name_hash.h"

#include <array>
#include <cstdio>

#include "base/strings.h"

namespace orvo {
namespace {

// The standard CRC-32 table (reflected polynomial 0xEDB88320).
constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint32_t NameHash32(const char* bytes, size_t length) {
  uint32_t h = 0xFFFFFFFFu;
  for (size_t i = 0; i < length + 4; ++i) {
    // Bytes are signed chars widened with their sign: a byte of 0x80 or more
    // ORs ones into the upper 24 bits.
    int8_t b = i < length ? static_cast<int8_t>(bytes[i]) : 0;
    uint32_t widened = static_cast<uint32_t>(static_cast<int32_t>(b));
    h = ((h << 8) | widened) ^ kCrcTable[h >> 24];
  }
  return h;
}

std::string CrcName(std::string_view path) {
  std::string lower = LowerCopy(path);
  char name[32];
  std::snprintf(name, sizeof(name), "crcName[%08x]",
                static_cast<unsigned>(NameHash32(lower.data(), lower.size())));
  return name;
}

}  // namespace orvo
