// LCMapStringA's case mapping, in the Windows-1252 code page every locale uses
// here (the ANSI code page of the Western European Windows installations the
// library's data comes from).
#include <cstring>

#include "platform/win32.h"

namespace {

unsigned char ToUpper1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  // à..þ to À..Þ, except ÷ (0xF7), whose partner × (0xD7) is no letter.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // š Š
    case 0x9C:
      return 0x8C;  // œ Œ
    case 0x9E:
      return 0x8E;  // ž Ž
    case 0xFF:
      return 0x9F;  // ÿ Ÿ
    default:
      return c;  // ß, µ and ƒ have no capital in this code page
  }
}

unsigned char ToLower1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A:
      return 0x9A;
    case 0x8C:
      return 0x9C;
    case 0x8E:
      return 0x9E;
    case 0x9F:
      return 0xFF;
    default:
      return c;
  }
}

}  // namespace

int LCMapStringA(LCID locale, DWORD map_flags, LPCSTR src, int src_length, LPSTR dest,
                 int dest_length) {
  // Every locale maps case alike here; identifiers beyond the 16-bit language
  // range (alternative sorts) are refused as Windows refuses unknown ones.
  if (locale > 0xFFFF || src == nullptr || src_length == 0 || src_length < -1 || dest_length < 0 ||
      (dest == nullptr && dest_length > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (map_flags != LCMAP_LOWERCASE && map_flags != LCMAP_UPPERCASE) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  // -1: up to and including the terminating NUL.
  size_t length = src_length == -1 ? std::strlen(src) + 1 : static_cast<size_t>(src_length);
  if (length > 0x7FFFFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (dest_length == 0) return static_cast<int>(length);
  if (static_cast<size_t>(dest_length) < length) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  // Byte by byte, so src and dest may be the same buffer.
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(src[i]);
    dest[i] = static_cast<char>(map_flags == LCMAP_UPPERCASE ? ToUpper1252(c) : ToLower1252(c));
  }
  return static_cast<int>(length);
}
