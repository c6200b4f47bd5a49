// The attribute record shared by the text and binary attribute files: data
// type codes and the text forms of typed values.
#ifndef VECTOR_ATTRIBUTE_RECORD_H_
#define VECTOR_ATTRIBUTE_RECORD_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "base/data_types.h"

namespace orvo {

// Messages of the attribute files.
extern const char kCantOpenAttributeFile[];   // "can't open attribute file"
extern const char kCantWriteAttributeFile[];  // "can't write attribute file"

// Appends a value in its text form: decimal integers (leading '-' when
// negative), "%-.16g" reals whatever the C locale, and blobs as two lower-case
// hexadecimal digits per byte, high nibble first.
void AppendIntText(std::string& out, int32_t value);
void AppendDoubleText(std::string& out, double value);
void AppendBlobText(std::string& out, const uint8_t* bytes, size_t count);

// Decodes a blob text (hexadecimal digit pairs) into buffer. The result is the
// byte count, half the text's length rounded down; the bytes are written only
// when that count is not larger than size (so a null buffer or a size of 0
// just measures). Characters that are not hexadecimal digits count as 0.
int32_t DecodeBlobText(std::string_view text, uint8_t* buffer, int32_t size);

// The attribute file that a layer name stands for: an extension of
// ".battribute" or ".bspatial" (any case) selects the binary form, anything
// else the text form; the extension is replaced by ".battribute" or
// ".attribute", so either file of a layer or its bare base name will do.
// Throws "can't open file" for a null name.
std::string AttributeFileFor(const char* layer_name, bool* binary);

}  // namespace orvo

#endif  // VECTOR_ATTRIBUTE_RECORD_H_
