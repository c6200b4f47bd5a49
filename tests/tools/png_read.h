// Reading back the PNG images orvo writes.
#ifndef TESTS_TOOLS_PNG_READ_H_
#define TESTS_TOOLS_PNG_READ_H_

#include <cstdint>
#include <string>
#include <vector>

namespace orvotest {

struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // rows top first, red, green, blue

  const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// The image as 8-bit RGB; an empty image when path is no readable PNG.
RgbImage ReadPng(const std::string& path);

}  // namespace orvotest

#endif  // TESTS_TOOLS_PNG_READ_H_
