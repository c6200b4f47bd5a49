// Little-endian integers read from file bytes, whatever the host's order.
#ifndef BASE_LITTLE_ENDIAN_H_
#define BASE_LITTLE_ENDIAN_H_

#include <cstdint>

namespace orvo {

inline int32_t ReadLe32(const uint8_t* p) {
  const uint32_t v =
      uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
  return static_cast<int32_t>(v);
}

}  // namespace orvo

#endif  // BASE_LITTLE_ENDIAN_H_
