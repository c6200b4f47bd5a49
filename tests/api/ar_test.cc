// AR exports: round trips of both forms, the bounded copy, neutral results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

using orvotest::TempDir;
using orvotest::WriteFileBytes;

const uint8_t kBlob[] = {0x00, 0x01, 0xAB, 0xFF, 0x7F};

// Writes two records through the exports; returns their positions.
void WriteLayer(const std::string& name, int64_t positions[2]) {
  HAW writer = CreateAW(name.c_str());
  ASSERT_NE(writer, nullptr);
  positions[0] = AddRecordAW(writer, 11, -5, "ROAD,MAIN");
  AddIntAttributeAW(writer, "1", INT32_MIN);
  AddDoubleAttributeAW(writer, "2", -1234.5678e-9);
  AddAttributeAW(writer, "3", "say \"hi\", \\ok");
  AddBlobAttributeAW(writer, "4", kBlob, sizeof(kBlob));
  AddAttributeAW(writer, "5", "");
  AddBlobAttributeAW(writer, "6", nullptr, 0);
  positions[1] = AddRecordAW(writer, 12, 0, "B");
  AddIntAttributeAW(writer, "n", 42);
  FreeAW(writer);
}

class AttributeReaderExports : public testing::TestWithParam<bool> {};

TEST_P(AttributeReaderExports, RoundTripsEveryType) {
  const bool binary = GetParam();
  TempDir dir;
  int64_t positions[2];
  WriteLayer(dir.File(binary ? "layer.battribute" : "layer"), positions);
  HAR reader = CreateAR(dir.File(binary ? "layer.bspatial" : "layer.spatial").c_str());
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(NextAR(reader));
  EXPECT_EQ(GetPositionAR(reader), positions[0]);
  EXPECT_EQ(GetIdAR(reader), 11);
  EXPECT_EQ(GetUserIdAR(reader), -5);
  char text[64];
  EXPECT_TRUE(GetClassCodeAR(reader, text, sizeof(text)));
  EXPECT_STREQ(text, "ROAD,MAIN");
  ASSERT_EQ(GetAttributeCountAR(reader), 6);
  const int32_t binary_types[] = {1, 2, 5, 6, 5, 6};
  const char* texts[] = {"-2147483648", "-1.2345678e-06", "say \"hi\", \\ok", "0001abff7f", "", ""};
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_TRUE(GetAttributeIdAR(reader, i, text, sizeof(text)));
    EXPECT_EQ(text, std::to_string(i + 1));
    EXPECT_EQ(GetAttributeDataTypeAR(reader, i), binary ? binary_types[i] : 5);
    EXPECT_TRUE(GetAttributeAR(reader, i, text, sizeof(text)));
    EXPECT_STREQ(text, texts[i]) << i;
  }
  EXPECT_EQ(GetIntAttributeAR(reader, 0), INT32_MIN);
  // The text form's number reader is not exact to the last bit.
  EXPECT_DOUBLE_EQ(GetDoubleAttributeAR(reader, 1), -1234.5678e-9);
  if (binary) {
    EXPECT_EQ(GetDoubleAttributeAR(reader, 1), -1234.5678e-9);
  }
  uint8_t bytes[8] = {};
  EXPECT_EQ(GetBlobAttributeAR(reader, 3, bytes, sizeof(bytes)), 5);
  EXPECT_EQ(std::memcmp(bytes, kBlob, 5), 0);
  std::memset(bytes, 0x55, sizeof(bytes));
  EXPECT_EQ(GetBlobAttributeAR(reader, 3, bytes, 4), 5);  // too small: nothing copied
  EXPECT_EQ(bytes[0], 0x55);
  EXPECT_EQ(GetBlobAttributeAR(reader, 3, nullptr, 0), 5);
  EXPECT_EQ(GetBlobAttributeAR(reader, 5, bytes, 8), 0);
  // Index -1 is the class code in the text form only.
  EXPECT_EQ(GetAttributeAR(reader, -1, text, sizeof(text)), !binary);
  EXPECT_STREQ(text, binary ? "" : "ROAD,MAIN");

  ASSERT_TRUE(NextAR(reader));
  EXPECT_EQ(GetIdAR(reader), 12);
  // The binary getters do not convert: the integer entry is no double.
  EXPECT_EQ(GetDoubleAttributeAR(reader, 0) == 42.0, !binary);
  EXPECT_FALSE(NextAR(reader));
  ASSERT_TRUE(SetPositionAR(reader, positions[1]));
  EXPECT_EQ(GetIdAR(reader), 12);
  EXPECT_FALSE(SetPositionAR(reader, GetSizeAR(reader)));
  ResetAR(reader);
  ASSERT_TRUE(NextAR(reader));
  EXPECT_EQ(GetPositionAR(reader), positions[0]);
  FreeAR(reader);
}

TEST_P(AttributeReaderExports, BoundedCopyAndNeutralResults) {
  const bool binary = GetParam();
  TempDir dir;
  int64_t positions[2];
  std::string name = dir.File(binary ? "l.battribute" : "l.attribute");
  WriteLayer(name, positions);
  HAR reader = CreateExAR(name.c_str(), binary);
  ASSERT_NE(reader, nullptr);

  // No record yet: neutral everywhere, the buffer NUL-filled.
  char text[16];
  std::memset(text, 'x', sizeof(text));
  EXPECT_FALSE(GetClassCodeAR(reader, text, sizeof(text)));
  EXPECT_EQ(std::string(text, 16), std::string(16, '\0'));
  EXPECT_EQ(GetIdAR(reader), 0);
  EXPECT_EQ(GetUserIdAR(reader), 0);
  EXPECT_EQ(GetPositionAR(reader), 0);
  EXPECT_EQ(GetAttributeCountAR(reader), 0);
  EXPECT_EQ(GetAttributeDataTypeAR(reader, 0), -1);
  EXPECT_FALSE(GetAttributeAR(reader, -1, text, sizeof(text)));

  ASSERT_TRUE(NextAR(reader));
  // Exactly the code's length: filled, no NUL, true. Longer: NUL-padded.
  std::memset(text, 'x', sizeof(text));
  EXPECT_TRUE(GetClassCodeAR(reader, text, 9));
  EXPECT_EQ(std::string(text, 10), "ROAD,MAINx");
  EXPECT_TRUE(GetClassCodeAR(reader, text, 4));
  EXPECT_EQ(std::string(text, 10), "ROAD,MAINx");
  std::memset(text, 'x', sizeof(text));
  EXPECT_TRUE(GetClassCodeAR(reader, text, 12));
  EXPECT_EQ(std::string(text, 13), std::string("ROAD,MAIN\0\0\0x", 13));
  EXPECT_TRUE(GetClassCodeAR(reader, nullptr, 10));
  EXPECT_TRUE(GetAttributeAR(reader, 0, text, 3));
  EXPECT_EQ(std::string(text, 3), "-21");

  // Attribute indexes outside the record: neutral, the buffer emptied.
  for (int32_t i : {-2, 6, INT32_MAX, INT32_MIN}) {
    std::memset(text, 'x', sizeof(text));
    EXPECT_FALSE(GetAttributeIdAR(reader, i, text, sizeof(text)));
    EXPECT_EQ(text[0], '\0');
    EXPECT_FALSE(GetAttributeAR(reader, i, text, sizeof(text)));
    EXPECT_EQ(GetAttributeDataTypeAR(reader, i), -1);
    EXPECT_EQ(GetIntAttributeAR(reader, i), 0);
    EXPECT_EQ(GetDoubleAttributeAR(reader, i), 0.0);
    uint8_t bytes[8];
    EXPECT_EQ(GetBlobAttributeAR(reader, i, bytes, sizeof(bytes)), 0);
  }
  EXPECT_FALSE(GetAttributeIdAR(reader, -1, text, sizeof(text)));

  // After the last record: neutral again.
  ASSERT_TRUE(NextAR(reader));
  EXPECT_FALSE(NextAR(reader));
  EXPECT_EQ(GetIdAR(reader), 0);
  EXPECT_EQ(GetAttributeCountAR(reader), 0);
  EXPECT_FALSE(GetClassCodeAR(reader, text, sizeof(text)));
  FreeAR(reader);
}

INSTANTIATE_TEST_SUITE_P(BothForms, AttributeReaderExports, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Binary" : "Text";
                         });

TEST(AttributeReaderExportsOpen, MissingFilesAndNullHandles) {
  TempDir dir;
  EXPECT_EQ(CreateAR(dir.File("none").c_str()), nullptr);
  EXPECT_EQ(CreateAR(dir.File("none.battribute").c_str()), nullptr);
  EXPECT_EQ(CreateAR(nullptr), nullptr);
  EXPECT_EQ(CreateExAR(nullptr, true), nullptr);
  // The extension picks the form: t.battribute looks for the binary file only.
  WriteFileBytes(dir.File("t.attribute"), "5,1,\"C\",K,\"42\",\r\n");
  HAR text = CreateAR(dir.File("t").c_str());
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(CreateAR(dir.File("t.battribute").c_str()), nullptr);
  ASSERT_TRUE(NextAR(text));
  EXPECT_EQ(GetIntAttributeAR(text, 0), 42);
  FreeAR(text);
  // Empty files of either form read as empty.
  for (const char* name : {"e.attribute", "e.battribute"}) {
    WriteFileBytes(dir.File(name), "");
    HAR empty = CreateAR(dir.File(name).c_str());
    ASSERT_NE(empty, nullptr) << name;
    EXPECT_EQ(GetSizeAR(empty), 0);
    EXPECT_FALSE(NextAR(empty));
    EXPECT_FALSE(SetPositionAR(empty, 0));
    FreeAR(empty);
  }

  char buffer[4] = "abc";
  FreeAR(nullptr);
  ResetAR(nullptr);
  EXPECT_FALSE(NextAR(nullptr));
  EXPECT_EQ(GetIdAR(nullptr), 0);
  EXPECT_EQ(GetUserIdAR(nullptr), 0);
  EXPECT_FALSE(GetClassCodeAR(nullptr, buffer, 4));
  EXPECT_EQ(GetAttributeCountAR(nullptr), 0);
  EXPECT_FALSE(GetAttributeIdAR(nullptr, 0, buffer, 4));
  EXPECT_FALSE(GetAttributeAR(nullptr, 0, buffer, 4));
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(GetAttributeDataTypeAR(nullptr, 0), -1);
  EXPECT_EQ(GetIntAttributeAR(nullptr, 0), 0);
  EXPECT_EQ(GetDoubleAttributeAR(nullptr, 0), 0.0);
  EXPECT_EQ(GetBlobAttributeAR(nullptr, 0, buffer, 4), 0);
  EXPECT_EQ(GetPositionAR(nullptr), 0);
  EXPECT_FALSE(SetPositionAR(nullptr, 0));
  EXPECT_EQ(GetSizeAR(nullptr), 0);
}

}  // namespace
