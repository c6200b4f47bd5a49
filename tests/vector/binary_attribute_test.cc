// Binary attribute files: exact bytes, typed round trips, damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/errors.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "vector/binary_attribute_reader.h"
#include "vector/binary_attribute_writer.h"

namespace orvo {
namespace {

using orvotest::Raised;
using orvotest::ReadFileBytes;
using orvotest::TempDir;
using orvotest::WriteFileBytes;

class BinaryAttributeFile : public testing::Test {
 protected:
  TempDir dir_;
  std::string path = dir_.File("a.battribute");
};
class BinaryAttributeWriter : public BinaryAttributeFile {};
class BinaryAttributeReader : public BinaryAttributeFile {};

// Little-endian byte builders for expected files (the hosts are little-endian).
template <class T>
std::string Le(T v) {
  return std::string(reinterpret_cast<const char*>(&v), sizeof v);
}
std::string I32(int32_t v) { return Le(v); }
std::string I64(int64_t v) { return Le(v); }
std::string F64(double v) { return Le(v); }
std::string Z(const char* text) { return std::string(text, std::strlen(text) + 1); }

const uint8_t kBlob[] = {0x01, 0xAB, 0xFF};

// One record of each entry type: 20 + 3 + 14 + 18 + 15 + 17 = 87 bytes.
std::string SampleRecord(int32_t id) {
  return I32(87) + I32(id) + I32(-2) + I32(4) + I32(3) + Z("AB") + I32(14) + I32(1) + I32(42) +
         Z("I") + I32(18) + I32(2) + F64(0.1) + Z("D") + I32(15) + I32(5) + I32(1) + Z("") +
         Z("S") + I32(17) + I32(6) + I32(3) + "\x01\xab\xff" + Z("B");
}

int64_t WriteSample(TBinaryAttributeWriter& writer, int32_t id) {
  const int64_t position = writer.AddRecord(id, -2, "AB");
  EXPECT_TRUE(writer.AddIntAttribute("I", 42));
  EXPECT_TRUE(writer.AddDoubleAttribute("D", 0.1));
  EXPECT_TRUE(writer.AddStringAttribute("S", ""));
  EXPECT_TRUE(writer.AddBlobAttribute("B", kBlob, 3));
  return position;
}

std::string Patched(std::string bytes, size_t at, int32_t value) {
  return bytes.replace(at, 4, I32(value));
}

// A file of three sample records with the given ids.
std::string ThreeRecords(int32_t a, int32_t b, int32_t c) {
  return I64(16 + 3 * 87) + I32(3) + I32(0) + SampleRecord(a) + SampleRecord(b) + SampleRecord(c);
}

TEST_F(BinaryAttributeWriter, WritesExactBytes) {
  { TBinaryAttributeWriter writer(path.c_str()); }
  EXPECT_EQ(ReadFileBytes(path), I64(16) + I32(0) + I32(0));  // the header alone
  {
    TBinaryAttributeWriter writer(path.c_str());
    EXPECT_EQ(WriteSample(writer, 7), 16);
    EXPECT_EQ(writer.AddRecord(8, 0, ""), 16 + 87);
  }
  EXPECT_EQ(ReadFileBytes(path), I64(16 + 87 + 21) + I32(2) + I32(0) + SampleRecord(7) + I32(21) +
                                     I32(8) + I32(0) + I32(0) + I32(1) + Z(""));
}

TEST_F(BinaryAttributeWriter, RefusesWhatTheReaderCouldNotReturn) {
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
  std::string record =
      I32(36) + I32(1) + I32(0) + I32(1) + I32(2) + Z("A") + I32(14) + I32(6) + I32(0) + Z("E");
  EXPECT_EQ(ReadFileBytes(path), I64(16 + 36) + I32(1) + I32(0) + record);
}

TEST_F(BinaryAttributeWriter, TextValuesByDataType) {
  {
    TBinaryAttributeWriter writer(path.c_str());
    writer.AddRecord(1, 0, "A");
    EXPECT_TRUE(writer.AddAttribute("i", " -17x", 1));
    EXPECT_TRUE(writer.AddAttribute("d", "1e3", 2));
    EXPECT_TRUE(writer.AddAttribute("b", "01abff", 6));
    EXPECT_TRUE(writer.AddAttribute("c", "text", 3));
    EXPECT_TRUE(writer.AddAttribute("n", "x", -1));
    EXPECT_FALSE(writer.AddAttribute("n", nullptr, 5));
  }
  TBinaryAttributeReader reader(path.c_str());
  ASSERT_TRUE(reader.ReadNext());
  ASSERT_EQ(reader.GetAttributeCount(), 5);
  std::vector<int32_t> types;
  for (int32_t i = 0; i < 5; ++i) types.push_back(reader.GetAttributeDataType(i));
  EXPECT_EQ(types, (std::vector<int32_t>{1, 2, 6, 5, 5}));
  EXPECT_EQ(reader.GetInt(0), -17);
  EXPECT_EQ(reader.GetDouble(1), 1000.0);
  std::string scratch;
  EXPECT_EQ(reader.GetAttribute(2, scratch), "01abff");
  EXPECT_EQ(reader.GetAttribute(4, scratch), "x");
}

TEST_F(BinaryAttributeReader, ReadsEveryTypeInPlace) {
  {
    TBinaryAttributeWriter writer(path.c_str());
    WriteSample(writer, 7);
    writer.AddRecord(-9, 5, "LONG CODE");
    writer.AddStringAttribute("name", "Main \"St\"\r\n");
    writer.AddDoubleAttribute("neg", -2.5e-300);
  }
  TBinaryAttributeReader reader(path.c_str());
  std::string scratch;
  // Id, type and text of every entry, with the record's head.
  auto record = [&] {
    std::vector<std::string> all = {
        std::to_string(reader.GetPosition()), std::to_string(reader.GetId()),
        std::to_string(reader.GetUserId()), std::string(reader.GetClassCode())};
    for (int32_t i = 0; i < reader.GetAttributeCount(); ++i) {
      all.push_back(std::string(reader.GetAttributeId(i)) + ":" +
                    std::to_string(reader.GetAttributeDataType(i)) + ":" +
                    std::string(reader.GetAttribute(i, scratch)));
    }
    return all;
  };
  using Strings = std::vector<std::string>;
  EXPECT_FALSE(reader.HasRecord());
  EXPECT_EQ(record(), (Strings{"0", "0", "0", ""}));  // neutral before the first record
  EXPECT_EQ(reader.GetAttributeDataType(0), -1);

  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(record(), (Strings{"16", "7", "-2", "AB", "I:1:42", "D:2:0.1", "S:5:", "B:6:01abff"}));
  EXPECT_EQ(reader.GetInt(0), 42);
  EXPECT_EQ(reader.GetDouble(1), 0.1);
  uint8_t bytes[4] = {9, 9, 9, 9};
  EXPECT_EQ(reader.GetBlob(3, bytes, 2), 3);
  EXPECT_EQ(bytes[0], 9);
  EXPECT_EQ(reader.GetBlob(3, bytes, 4), 3);
  EXPECT_EQ(std::memcmp(bytes, kBlob, 3), 0);
  // No conversion between types: the integer's bytes, an int entry has no blob.
  EXPECT_EQ(reader.GetBlob(0, bytes, 4), 0);
  uint64_t bits;
  double d = 0.1;
  std::memcpy(&bits, &d, 8);
  EXPECT_EQ(reader.GetInt(1), static_cast<int32_t>(bits & 0xFFFFFFFFu));
  // Out of range: neutral.
  for (int32_t i : {-1, 4, 1000}) {
    EXPECT_EQ(reader.GetAttributeId(i), "");
    EXPECT_EQ(reader.GetAttributeDataType(i), -1);
    EXPECT_EQ(reader.GetInt(i), 0);
    EXPECT_EQ(reader.GetDouble(i), 0.0);
    EXPECT_EQ(reader.GetBlob(i, bytes, 4), 0);
    EXPECT_EQ(reader.GetAttribute(i, scratch), "");
  }

  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(record(),
            (Strings{"103", "-9", "5", "LONG CODE", "name:5:Main \"St\"\r\n", "neg:2:-2.5e-300"}));
  EXPECT_EQ(reader.GetDouble(1), -2.5e-300);
  EXPECT_FALSE(reader.ReadNext());
  EXPECT_FALSE(reader.HasRecord());

  ASSERT_TRUE(reader.SetPosition(16 + 87));
  EXPECT_EQ(reader.GetId(), -9);
  reader.Reset();
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(reader.GetId(), 7);
  EXPECT_FALSE(reader.SetPosition(-1));
  EXPECT_FALSE(reader.HasRecord());
  EXPECT_FALSE(reader.SetPosition(reader.GetSize()));
  EXPECT_FALSE(reader.SetPosition(reader.GetSize() + 1));
}

TEST_F(BinaryAttributeReader, SkipsRecordsWithIdZero) {
  WriteFileBytes(path, ThreeRecords(0, 5, 0));
  TBinaryAttributeReader reader(path.c_str());
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(reader.GetId(), 5);
  EXPECT_EQ(reader.GetPosition(), 16 + 87);
  EXPECT_FALSE(reader.ReadNext());
  ASSERT_TRUE(reader.SetPosition(16));
  EXPECT_EQ(reader.GetId(), 5);
  EXPECT_FALSE(reader.SetPosition(16 + 2 * 87));
}

TEST_F(BinaryAttributeReader, ShortFilesReadAsEmpty) {
  for (size_t length : {0, 1, 15}) {
    WriteFileBytes(path, std::string(length, '\x7f'));
    TBinaryAttributeReader reader(path.c_str());
    EXPECT_EQ(reader.GetSize(), static_cast<int64_t>(length));
    EXPECT_FALSE(reader.ReadNext());
    EXPECT_FALSE(reader.SetPosition(0));
  }
}

// Reads every record; the walk must end within the number of bytes.
std::vector<int32_t> Walk(const std::string& path) {
  TBinaryAttributeReader reader(path.c_str());
  std::vector<int32_t> ids;
  std::string scratch;
  uint8_t blob[64];
  while (reader.ReadNext()) {
    ids.push_back(reader.GetId());
    if (ids.size() > 10000) break;
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

TEST_F(BinaryAttributeReader, DamageEndsTheWalkAtTheDamagedRecord) {
  const std::string good = ThreeRecords(1, 2, 3);
  const size_t second = 16 + 87;
  struct Case {
    size_t at;  // offset of a 32-bit field in the second record
    int32_t value;
  };
  const Case cases[] = {
      {0, 0},   {0, 19},   {0, -87}, {0, INT32_MIN}, {0, 87 + 88},  {0, INT32_MAX}, {16, 0 - 1},
      {16, 87}, {16, 70},  {12, -1}, {12, 5},        {12, 1000000}, {23, 0},        {23, 12},
      {23, -5}, {23, 200}, {37, 16}, {37, 12},       {55, 0},       {55, 90},       {63, -1},
      {63, 3},  {63, 100}, {78, 5},  {78, -1},
  };
  for (const Case& c : cases) {
    WriteFileBytes(path, Patched(good, second + c.at, c.value));
    EXPECT_EQ(Walk(path), std::vector<int32_t>{1}) << "field " << c.at << " = " << c.value;
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
    size_t whole = length < 16 ? 0 : (length - 16) / 87;
    EXPECT_EQ(Walk(path).size(), whole) << "length " << length;
  }
  // A damaged record ends the walk; Reset starts it afresh.
  WriteFileBytes(path, Patched(good, second, 0));
  TBinaryAttributeReader reader(path.c_str());
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_FALSE(reader.ReadNext());
  EXPECT_FALSE(reader.ReadNext());
  reader.Reset();
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(reader.GetId(), 1);
  ASSERT_TRUE(reader.SetPosition(16 + 2 * 87));
  EXPECT_EQ(reader.GetId(), 3);
}

TEST_F(BinaryAttributeReader, AnyPositionAndAnyByteEndCleanly) {
  const std::string good = ThreeRecords(1, 2, 3);
  {
    WriteFileBytes(path, good);
    TBinaryAttributeReader reader(path.c_str());
    for (int64_t position = -2; position <= static_cast<int64_t>(good.size()) + 2; ++position) {
      int steps = 0;
      if (reader.SetPosition(position)) {
        while (reader.ReadNext() && steps < 1000) ++steps;
      }
      // Every record read moves on by at least its 20-byte head.
      EXPECT_LE(steps, static_cast<int>(good.size() / 20)) << "position " << position;
    }
  }
  // Every byte set to values that make sizes and counts zero, negative or huge.
  for (size_t at = 0; at < good.size(); ++at) {
    for (char value : {'\x00', '\xff', '\x80', '\x7f', '\x01'}) {
      std::string bytes = good;
      bytes[at] = value;
      WriteFileBytes(path, bytes);
      EXPECT_LE(Walk(path).size(), good.size() / 20) << "byte " << at;
    }
  }
}

}  // namespace
}  // namespace orvo
