// The Windows-1252 code page, the 8-bit text of the text services.
#ifndef PLATFORM_LINUX_CP1252_H_
#define PLATFORM_LINUX_CP1252_H_

#include <cstdint>

namespace orvo::linux_api {

// The Unicode code point of a Windows-1252 byte; the five unassigned bytes
// keep their values, as Windows maps them.
uint32_t Cp1252ToUnicode(uint8_t byte);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_CP1252_H_
