#include "tools/orvo/png_file.h"

#include <png.h>

#include <cstdio>

#include "tools/orvo/command.h"

namespace orvotool {

void WriteBgrPng(const std::string& path, const void* bits, int32_t width, int32_t height,
                 int32_t stride) {
  if (bits == nullptr || width < 1 || height < 1) throw InputError{path, "no image to write"};
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGR;
  const std::string tmp = path + ".tmp";
  if (!png_image_write_to_file(&image, tmp.c_str(), 0, bits, stride, nullptr)) {
    std::remove(tmp.c_str());
    throw InputError{path, std::string("can't write PNG: ") + image.message};
  }
  // rename does not replace an existing file on Windows.
  std::remove(path.c_str());
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    throw InputError{path, "can't write PNG"};
  }
}

}  // namespace orvotool
