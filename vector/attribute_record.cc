// Text forms of typed attribute values.
#include "vector/attribute_record.h"

#include <charconv>
#include <climits>

#include "base/errors.h"
#include "base/strings.h"
#include "vector/layer_name.h"

namespace orvo {

const char kCantOpenAttributeFile[] = "can't open attribute file";
const char kCantWriteAttributeFile[] = "can't write attribute file";

namespace {

const char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

void AppendIntText(std::string& out, int32_t value) {
  char buffer[16];
  auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
  out.append(buffer, result.ptr);
}

void AppendDoubleText(std::string& out, double value) { AppendDouble(out, value); }

void AppendBlobText(std::string& out, const uint8_t* bytes, size_t count) {
  size_t at = out.size();
  out.resize(at + 2 * count);
  for (size_t i = 0; i < count; ++i) {
    out[at + 2 * i] = kHexDigits[bytes[i] >> 4];
    out[at + 2 * i + 1] = kHexDigits[bytes[i] & 0x0F];
  }
}

int32_t DecodeBlobText(std::string_view text, uint8_t* buffer, int32_t size) {
  size_t count = text.size() / 2;
  if (count > static_cast<size_t>(INT32_MAX)) count = INT32_MAX;
  int32_t n = static_cast<int32_t>(count);
  if (buffer == nullptr || n > size) return n;
  for (int32_t i = 0; i < n; ++i) {
    buffer[i] = static_cast<uint8_t>(HexValue(text[2 * i]) << 4 | HexValue(text[2 * i + 1]));
  }
  return n;
}

std::string AttributeFileFor(const char* layer_name, bool* binary) {
  if (layer_name == nullptr) Raise(kCantOpenFile);
  *binary = IsBinaryLayerName(layer_name);
  return LayerFileName(layer_name, *binary ? ".battribute" : ".attribute");
}

}  // namespace orvo
