// A 32-bit hash of names and the short shared-object name derived from a path.
#ifndef BASE_NAME_HASH_H_
#define BASE_NAME_HASH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// CRC-32-table hash of the bytes followed by four zero bytes, starting from
// 0xFFFFFFFF, bytes taken as signed chars, with no final inversion.
uint32_t NameHash32(const char* bytes, size_t length);

// "crcName[%08x]" of NameHash32 of the lower-cased path: the name under which
// objects for the same file are shared between processes.
std::string CrcName(std::string_view path);

}  // namespace orvo

#endif  // BASE_NAME_HASH_H_
