// Layout of the binary spatial file (".bspatial"), shared by its reader and
// writer: a 48-byte header, then self-sized records one after the other.
// Numbers are little-endian; doubles IEEE binary64; no padding.
#ifndef VECTOR_BINARY_SPATIAL_FORMAT_H_
#define VECTOR_BINARY_SPATIAL_FORMAT_H_

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvo {

static_assert(std::endian::native == std::endian::little,
              "binary vector files are read and written in place as little-endian");

// File header at offset 0. Its file size must equal the real file size.
struct BinarySpatialHeader {
  int64_t file_size;  // 48 + the sizes of all records
  int64_t record_count;
  double minx;  // bound of all records
  double miny;
  double maxx;
  double maxy;
};
static_assert(sizeof(BinarySpatialHeader) == 48);
static_assert(offsetof(BinarySpatialHeader, record_count) == 8);
static_assert(offsetof(BinarySpatialHeader, minx) == 16);
static_assert(offsetof(BinarySpatialHeader, maxy) == 40);

constexpr int64_t kBinarySpatialHeaderSize = 48;

// Record head, 52 bytes (its doubles are not 8-byte aligned in the file, so
// the head is read and written field by field at these offsets):
//   0 size S (this field included)   4 minx  12 miny  20 maxx  28 maxy
//   36 id (0: skipped by readers)    40 kind with height (1-5, 11-15)
//   44 vertex count N                48 vector count V
// followed by V vector starts (int32), N x,y pairs, and with Z (kind with
// height above 10) the minimum and maximum z and the N z values.
constexpr int32_t kRecordSizeOffset = 0;
constexpr int32_t kRecordBoundOffset = 4;
constexpr int32_t kRecordIdOffset = 36;
constexpr int32_t kRecordKindOffset = 40;
constexpr int32_t kRecordVertexCountOffset = 44;
constexpr int32_t kRecordVectorCountOffset = 48;
constexpr int32_t kRecordHeadSize = 52;

struct BinaryRecordHead {
  int32_t size;
  double bound[4];
  int32_t id;
  int32_t kind;
  int32_t vertex_count;
  int32_t vector_count;
};

// Size of a record with V vectors and N vertices: 52 + 4V + 16N, plus 8(N + 2)
// with Z. Computed in 64 bits so that damaged counts cannot overflow.
inline int64_t BinaryRecordSize(int64_t vector_count, int64_t vertex_count, bool has_z) {
  int64_t size = kRecordHeadSize + 4 * vector_count + 16 * vertex_count;
  return has_z ? size + 8 * (vertex_count + 2) : size;
}

// Record kinds with height above 10 carry Z.
inline bool BinaryKindHasZ(int32_t kind) { return kind > 10; }

inline int32_t LoadInt32(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline void EncodeRecordHead(const BinaryRecordHead& head, uint8_t* p) {
  std::memcpy(p + kRecordSizeOffset, &head.size, 4);
  std::memcpy(p + kRecordBoundOffset, head.bound, 32);
  std::memcpy(p + kRecordIdOffset, &head.id, 4);
  std::memcpy(p + kRecordKindOffset, &head.kind, 4);
  std::memcpy(p + kRecordVertexCountOffset, &head.vertex_count, 4);
  std::memcpy(p + kRecordVectorCountOffset, &head.vector_count, 4);
}

// Binary index file (".bindex"): a 56-byte header, then one 88-byte entry per
// object (the layout of TSpatialIndexEx::SI).
//   0 file size (int64)   8 not interpreted   16 signature "__sdnb__"
//   24..55 not interpreted
constexpr int64_t kBinaryIndexHeaderSize = 56;
constexpr int64_t kBinaryIndexSignatureOffset = 16;
constexpr char kBinaryIndexSignature[8] = {'_', '_', 's', 'd', 'n', 'b', '_', '_'};
constexpr int64_t kBinaryIndexEntrySize = 88;

}  // namespace orvo

#endif  // VECTOR_BINARY_SPATIAL_FORMAT_H_
