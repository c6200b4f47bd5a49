// Layout of binary attribute files, shared by their reader and writer.
//
//   header (16 bytes): int64 file size, int32 record count, int32 0
//   record: int32 size R (this field included), int32 id (0: skipped),
//           int32 user id, int32 attribute count A, int32 L (class code length
//           with its NUL), the class code and its NUL, then A entries
//   entry:  int32 size (this field included), int32 data type, then by type
//           1: int32 value, attribute id + NUL              (13 + K bytes)
//           2: double value, attribute id + NUL             (17 + K)
//           5: int32 M, M bytes of value with NUL, id + NUL (13 + M + K)
//           6: int32 B, B bytes of blob, id + NUL           (13 + B + K)
//
// All numbers little-endian, doubles IEEE binary64, no padding. Records and
// entries carry their own size so that readers can step over them; they sit
// at any byte offset, so they are read and written with memcpy.
#ifndef VECTOR_BINARY_ATTRIBUTE_FORMAT_H_
#define VECTOR_BINARY_ATTRIBUTE_FORMAT_H_

#include <cstddef>
#include <cstdint>

namespace orvo {

struct BinaryAttributeHeader {
  int64_t file_size;
  int32_t record_count;
  int32_t reserved;  // always 0
};
static_assert(sizeof(BinaryAttributeHeader) == 16);
static_assert(offsetof(BinaryAttributeHeader, record_count) == 8);
static_assert(offsetof(BinaryAttributeHeader, reserved) == 12);

struct BinaryAttributeRecordHead {
  int32_t size;
  int32_t id;
  int32_t user_id;
  int32_t attribute_count;
  int32_t class_code_length;  // with the NUL
};
static_assert(sizeof(BinaryAttributeRecordHead) == 20);
static_assert(offsetof(BinaryAttributeRecordHead, id) == 4);
static_assert(offsetof(BinaryAttributeRecordHead, user_id) == 8);
static_assert(offsetof(BinaryAttributeRecordHead, attribute_count) == 12);
static_assert(offsetof(BinaryAttributeRecordHead, class_code_length) == 16);

// The first two fields of every entry.
struct BinaryAttributeEntryHead {
  int32_t size;
  int32_t data_type;
};
static_assert(sizeof(BinaryAttributeEntryHead) == 8);

constexpr int32_t kBinaryAttributeHeaderSize = 16;
constexpr int32_t kBinaryAttributeRecordHeadSize = 20;
constexpr int32_t kBinaryAttributeEntryHeadSize = 8;
// Where the value sits in every entry, and where the attribute id sits in
// integer and real entries; string and blob entries put it after their bytes.
constexpr int32_t kBinaryAttributeValueOffset = 8;
constexpr int32_t kBinaryAttributeIntIdOffset = 12;
constexpr int32_t kBinaryAttributeDoubleIdOffset = 16;
constexpr int32_t kBinaryAttributeBytesOffset = 12;  // after the length M or B
// The smallest entry: an integer (or an empty string or blob) with an empty id.
constexpr int32_t kBinaryAttributeMinEntrySize = 13;

}  // namespace orvo

#endif  // VECTOR_BINARY_ATTRIBUTE_FORMAT_H_
