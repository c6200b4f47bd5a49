// Binary attribute files: exact bytes, typed round trips, damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/vector/vector_test_util.h"
#include "vector/binary_attribute_reader.h"
#include "vector/binary_attribute_writer.h"

namespace orvo {
namespace {

using orvotest::Bytes;
using orvotest::IdAt;
using orvotest::NextId;
using orvotest::ReadFileBytes;
using orvotest::RestIds;
using orvotest::WriteFileBytes;

const uint8_t kBlob[] = {0x01, 0xAB, 0xFF};

// One record of each entry type: 20 + 3 + 14 + 18 + 15 + 17 = 87 bytes.
std::string SampleRecord(int32_t id) {
  Bytes b;
  b.I32(87).I32(id).I32(-2).I32(4).I32(3).Z("AB");
  b.I32(14).I32(1).I32(42).Z("I").I32(18).I32(2).F64(0.1).Z("D");
  b.I32(15).I32(5).I32(1).Z("").Z("S").I32(17).I32(6).I32(3).Raw(kBlob, 3).Z("B");
  return b.s;
}

// The head of a file of n records of the given bytes.
std::string FileHead(int64_t record_bytes, int32_t n) {
  return Bytes().I64(16 + record_bytes).I32(n).I32(0).s;
}

// A file of three sample records with the given ids.
std::string ThreeRecords(int32_t a, int32_t b, int32_t c) {
  return FileHead(3 * 87, 3) + SampleRecord(a) + SampleRecord(b) + SampleRecord(c);
}

std::string Patched(std::string bytes, size_t at, int32_t value) {
  orvotest::Patch32(bytes, at, value);
  return bytes;
}

class BinaryAttributeFile : public testing::Test {
 protected:
  orvotest::TempDir dir_;
  std::string path = dir_.File("a.battribute");
};

TEST_F(BinaryAttributeFile, WriterWritesExactBytesAndRefusesWhatTheReaderCouldNotReturn) {
  { TBinaryAttributeWriter writer(path.c_str()); }
  EXPECT_EQ(ReadFileBytes(path), FileHead(0, 0));  // the header alone
  {
    TBinaryAttributeWriter writer(path.c_str());
    EXPECT_EQ(writer.AddRecord(7, -2, "AB"), 16);
    EXPECT_TRUE(writer.AddIntAttribute("I", 42) && writer.AddDoubleAttribute("D", 0.1) &&
                writer.AddStringAttribute("S", "") && writer.AddBlobAttribute("B", kBlob, 3));
    EXPECT_EQ(writer.AddRecord(8, 0, ""), 16 + 87);
  }
  EXPECT_EQ(ReadFileBytes(path), FileHead(87 + 21, 2) + SampleRecord(7) +
                                     Bytes().I32(21).I32(8).I32(0).I32(0).I32(1).Z("").s);
  {
    TBinaryAttributeWriter writer(path.c_str());
    // No record open: an entry here would be read as a record head.
    EXPECT_FALSE(writer.AddIntAttribute("I", 1));
    EXPECT_EQ(writer.AddRecord(1, 0, "A"), 16);
    EXPECT_FALSE(writer.AddIntAttribute(nullptr, 1));
    EXPECT_FALSE(writer.AddStringAttribute("S", nullptr));
    EXPECT_FALSE(writer.AddBlobAttribute("B", nullptr, 1));
    EXPECT_FALSE(writer.AddBlobAttribute("B", kBlob, -1));
    EXPECT_TRUE(writer.AddBlobAttribute("E", nullptr, 0));
    EXPECT_EQ(writer.AddRecord(0, 0, "A"), -1);
    EXPECT_FALSE(writer.AddIntAttribute("I", 2));  // would join record 1
    EXPECT_EQ(writer.AddRecord(2, 0, nullptr), -1);
    EXPECT_FALSE(writer.AddIntAttribute("I", 3));
  }
  EXPECT_EQ(ReadFileBytes(path), FileHead(36, 1) +
                                     Bytes().I32(36).I32(1).I32(0).I32(1).I32(2).Z("A").s +
                                     Bytes().I32(14).I32(6).I32(0).Z("E").s);
}

// Typed reads, bounded copies, positions and neutral results are the AR
// exports' tests; files shorter than a header are in the damage test.
TEST_F(BinaryAttributeFile, ReaderSkipsIdZero) {
  WriteFileBytes(path, ThreeRecords(0, 5, 0));
  TBinaryAttributeReader reader(path.c_str());
  ASSERT_EQ(NextId(reader), 5);
  EXPECT_EQ(reader.GetPosition(), 16 + 87);
  EXPECT_FALSE(reader.ReadNext());
  EXPECT_EQ(IdAt(reader, 16), 5);
  EXPECT_FALSE(reader.SetPosition(16 + 2 * 87));
}

// Reads every record, asking for every entry; the walk must end within the
// number of bytes.
std::vector<int32_t> Walk(const std::string& path) {
  TBinaryAttributeReader reader(path.c_str());
  std::vector<int32_t> ids;
  std::string scratch;
  uint8_t blob[64];
  while (reader.ReadNext() && ids.size() <= 10000) {
    ids.push_back(reader.GetId());
    for (int32_t i = -1; i <= reader.GetAttributeCount(); ++i) {
      reader.GetAttributeId(i);
      reader.GetAttribute(i, scratch);
      reader.GetInt(i);
      reader.GetDouble(i);
      reader.GetBlob(i, blob, sizeof(blob));
    }
  }
  return ids;
}

TEST_F(BinaryAttributeFile, DamageEndsTheWalkAtTheDamagedRecord) {
  const std::string good = ThreeRecords(1, 2, 3);
  const size_t second = 16 + 87;
  // Fields (offsets in the second record) set to values that do not fit.
  const std::pair<size_t, int32_t> cases[] = {
      {0, 0},   {0, 19},   {0, -87}, {0, INT32_MIN}, {0, 87 + 88},  {0, INT32_MAX}, {16, 0 - 1},
      {16, 87}, {16, 70},  {12, -1}, {12, 5},        {12, 1000000}, {23, 0},        {23, 12},
      {23, -5}, {23, 200}, {37, 16}, {37, 12},       {55, 0},       {55, 90},       {63, -1},
      {63, 3},  {63, 100}, {78, 5},  {78, -1},
  };
  for (auto [at, value] : cases) {
    WriteFileBytes(path, Patched(good, second + at, value));
    EXPECT_EQ(Walk(path), std::vector<int32_t>{1}) << "field " << at << " = " << value;
  }
  // An entry of a type this reader does not know is stepped over.
  WriteFileBytes(path, Patched(good, second + 27, 3));
  EXPECT_EQ(Walk(path), (std::vector<int32_t>{1, 2, 3}));
  {
    TBinaryAttributeReader reader(path.c_str());
    ASSERT_TRUE(reader.SetPosition(second));
    EXPECT_EQ(reader.GetAttributeDataType(0), 3);
    EXPECT_EQ(reader.GetAttributeId(0), "");
    EXPECT_EQ(reader.GetAttributeId(1), "D");
  }
  // Records cut off at any length: only whole records are read.
  for (size_t length = 0; length <= good.size(); ++length) {
    WriteFileBytes(path, good.substr(0, length));
    EXPECT_EQ(Walk(path).size(), length < 16 ? 0 : (length - 16) / 87) << "length " << length;
  }
  // A damaged record ends the walk; Reset starts it afresh.
  WriteFileBytes(path, Patched(good, second, 0));
  TBinaryAttributeReader reader(path.c_str());
  EXPECT_EQ(NextId(reader), 1);
  EXPECT_EQ(NextId(reader), -1);
  EXPECT_EQ(NextId(reader), -1);
  reader.Reset();
  EXPECT_EQ(RestIds(reader), std::vector<int32_t>{1});
  EXPECT_EQ(IdAt(reader, 16 + 2 * 87), 3);
}

}  // namespace
}  // namespace orvo
