// AW exports: file naming, positions, the bytes of both forms, refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"
#include "vector/binary_attribute_writer.h"

namespace {

using orvotest::ReadFileBytes;
using orvotest::TempDir;

TEST(AttributeWriterExports, NameChoosesFormAndFile) {
  TempDir dir;
  struct Case {
    const char* given;
    const char* written;
    size_t size;  // 16 for the binary header, 0 for an empty text file
  };
  const Case cases[] = {{"a.battribute", "a.battribute", 16},
                        {"b.BSpatial", "b.battribute", 16},
                        {"c.spatial", "c.attribute", 0},
                        {"d", "d.attribute", 0},
                        {"e.x.BATTRIBUTE", "e.x.battribute", 16}};
  // An existing file is replaced.
  orvotest::WriteFileBytes(dir.File("d.attribute"), "old content that is long");
  for (const Case& c : cases) {
    HAW writer = CreateAW(dir.File(c.given).c_str());
    ASSERT_NE(writer, nullptr) << c.given;
    FreeAW(writer);
    EXPECT_EQ(ReadFileBytes(dir.File(c.written)).size(), c.size) << c.given;
  }
  // CreateExAW writes the name as given.
  FreeAW(CreateExAW(dir.File("f.txt").c_str(), true));
  EXPECT_EQ(ReadFileBytes(dir.File("f.txt")).size(), 16u);
  FreeAW(CreateExAW(dir.File("g.battribute").c_str(), false));
  EXPECT_EQ(ReadFileBytes(dir.File("g.battribute")).size(), 0u);
  EXPECT_EQ(CreateAW(nullptr), nullptr);
  EXPECT_EQ(CreateExAW(nullptr, false), nullptr);
  EXPECT_EQ(CreateAW(dir.File("missing/dir/x").c_str()), nullptr);
}

const uint8_t kBlob[] = {0x01, 0xAB, 0xFF};

void WriteSample(HAW writer, int64_t* first, int64_t* second) {
  *first = AddRecordAW(writer, 7, 70, "ROAD");
  AddIntAttributeAW(writer, "1", -42);
  AddDoubleAttributeAW(writer, "2", 0.1);
  AddAttributeAW(writer, "NAME", "Main \"St\"");
  AddBlobAttributeAW(writer, "B", kBlob, 3);
  *second = AddRecordAW(writer, 8, 0, "X");
}

TEST(AttributeWriterExports, TextFormBytes) {
  TempDir dir;
  HAW writer = CreateAW(dir.File("roads").c_str());
  int64_t first = -2, second = -2;
  WriteSample(writer, &first, &second);
  AddDoubleAttributeAW(writer, "big", 1e300);
  AddDoubleAttributeAW(writer, "third", 1.0 / 3.0);
  FreeAW(writer);
  const std::string line1 =
      "7,70,\"ROAD\",1,\"-42\",2,\"0.1\",NAME,\"Main \\\"St\\\"\",B,\"01abff\",\r\n";
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, static_cast<int64_t>(line1.size()));
  EXPECT_EQ(ReadFileBytes(dir.File("roads.attribute")),
            line1 + "8,0,\"X\",big,\"1e+300\",third,\"0.3333333333333333\",\r\n");
}

TEST(AttributeWriterExports, BinaryFormBytesAreTheTypedEntries) {
  TempDir dir;
  HAW writer = CreateAW(dir.File("roads.bspatial").c_str());
  int64_t first = -2, second = -2;
  WriteSample(writer, &first, &second);
  AddIntAttributeAW(writer, nullptr, 5);  // refused
  FreeAW(writer);
  EXPECT_EQ(first, 16);
  EXPECT_EQ(second, 16 + 101);
  std::string expected_path = dir.File("expected.battribute");
  {
    orvo::TBinaryAttributeWriter expected(expected_path.c_str());
    expected.AddRecord(7, 70, "ROAD");
    expected.AddIntAttribute("1", -42);
    expected.AddDoubleAttribute("2", 0.1);
    expected.AddStringAttribute("NAME", "Main \"St\"");
    expected.AddBlobAttribute("B", kBlob, 3);
    expected.AddRecord(8, 0, "X");
  }
  EXPECT_EQ(ReadFileBytes(dir.File("roads.battribute")), ReadFileBytes(expected_path));
}

TEST(AttributeWriterExports, RefusalsAndNullHandles) {
  EXPECT_EQ(AddRecordAW(nullptr, 1, 0, "C"), -1);
  AddAttributeAW(nullptr, "K", "v");
  AddIntAttributeAW(nullptr, "K", 1);
  AddDoubleAttributeAW(nullptr, "K", 1.0);
  AddBlobAttributeAW(nullptr, "K", "x", 1);
  FreeAW(nullptr);

  TempDir dir;
  for (bool binary : {false, true}) {
    std::string path = dir.File(binary ? "r.battribute" : "r.attribute");
    HAW writer = CreateExAW(path.c_str(), binary);
    ASSERT_NE(writer, nullptr);
    AddAttributeAW(writer, "EARLY", "v");  // binary: no place before a record
    EXPECT_EQ(AddRecordAW(writer, 1, 0, "A"), binary ? 16 : 12);
    AddIntAttributeAW(writer, "KEEP", 1);
    AddAttributeAW(writer, nullptr, "v");
    AddAttributeAW(writer, "K", nullptr);
    AddBlobAttributeAW(writer, "K", nullptr, 2);
    AddBlobAttributeAW(writer, "K", "ab", -1);
    EXPECT_EQ(AddRecordAW(writer, 0, 0, "A"), -1);
    AddIntAttributeAW(writer, "LOST", 2);
    EXPECT_EQ(AddRecordAW(writer, 2, 0, nullptr), -1);
    AddIntAttributeAW(writer, "LOST", 3);
    EXPECT_GT(AddRecordAW(writer, 3, 0, "B"), 0);
    FreeAW(writer);

    HAR reader = CreateExAR(path.c_str(), binary);
    ASSERT_NE(reader, nullptr);
    ASSERT_TRUE(NextAR(reader));
    EXPECT_EQ(GetIdAR(reader), 1);
    ASSERT_EQ(GetAttributeCountAR(reader), 1) << "binary " << binary;
    EXPECT_EQ(GetIntAttributeAR(reader, 0), 1);
    ASSERT_TRUE(NextAR(reader));
    EXPECT_EQ(GetIdAR(reader), 3);
    EXPECT_EQ(GetAttributeCountAR(reader), 0);
    EXPECT_FALSE(NextAR(reader));
    FreeAR(reader);
  }
}

}  // namespace
