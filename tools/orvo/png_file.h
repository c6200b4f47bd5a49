// Writing a 24-bit image (an image device context's pixels) as a PNG file.
#ifndef TOOLS_ORVO_PNG_FILE_H_
#define TOOLS_ORVO_PNG_FILE_H_

#include <cstdint>
#include <string>

namespace orvotool {

// Rows of blue, green, red pixels, stride bytes apart, top row first, as an
// 8-bit RGB PNG. The file is written under a temporary name and renamed when
// complete, so a failure leaves an earlier file of that name as it was.
// Raises InputError naming path when it cannot be written.
void WriteBgrPng(const std::string& path, const void* bits, int32_t width, int32_t height,
                 int32_t stride);

}  // namespace orvotool

#endif  // TOOLS_ORVO_PNG_FILE_H_
