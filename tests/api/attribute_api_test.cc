// AW and AR exports: file naming, bytes, round trips of every type, neutral results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

using orvotest::ReadFileBytes;
using orvotest::TempDir;
using orvotest::WriteFileBytes;

TEST(AttributeFileExports, NamesChooseFormAndFileAndEmptyFilesRead) {
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
  WriteFileBytes(dir.File("d.attribute"), "old content that is long");
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
  // The reader: missing files, the form the extension picks, empty files.
  EXPECT_EQ((std::vector<HAR>{CreateAR(dir.File("none").c_str()),
                              CreateAR(dir.File("none.battribute").c_str()), CreateAR(nullptr),
                              CreateExAR(nullptr, true)}),
            std::vector<HAR>(4, nullptr));
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
}

const uint8_t kBlob[] = {0x00, 0x01, 0xAB, 0xFF, 0x7F};
const char* const kQuoted = "say \"hi\", \\ok";

// The sample layer: two records, every type, empty values, long numbers.
void WriteSample(HAW writer, int64_t positions[2]) {
  ASSERT_NE(writer, nullptr);
  positions[0] = AddRecordAW(writer, 11, -5, "ROAD,MAIN");
  AddIntAttributeAW(writer, "1", INT32_MIN);
  AddDoubleAttributeAW(writer, "2", -1234.5678e-9);
  AddAttributeAW(writer, "3", kQuoted);
  AddBlobAttributeAW(writer, "4", kBlob, sizeof(kBlob));
  AddAttributeAW(writer, "5", "");
  AddBlobAttributeAW(writer, "6", nullptr, 0);
  positions[1] = AddRecordAW(writer, 12, 0, "B");
  AddIntAttributeAW(writer, "n", 42);
  AddDoubleAttributeAW(writer, "big", 1e300);
  AddDoubleAttributeAW(writer, "third", 1.0 / 3.0);
  FreeAW(writer);
}

class AttributeReaderExports : public testing::TestWithParam<bool> {
 protected:
  bool Binary() const { return GetParam(); }
  TempDir dir_;
  int64_t positions_[2] = {-2, -2};
};

TEST_P(AttributeReaderExports, BytesAndRoundTripOfEveryType) {
  WriteSample(CreateAW(dir_.File(Binary() ? "layer.bspatial" : "layer").c_str()), positions_);
  if (Binary()) {
    // The bytes themselves are checked by the binary attribute writer's test.
    EXPECT_EQ(positions_[0], 16);
    EXPECT_EQ(positions_[1], 16 + 138);
  } else {
    const std::string line1 =
        "11,-5,\"ROAD,MAIN\",1,\"-2147483648\",2,\"-1.2345678e-06\",3,\"say \\\"hi\\\", "
        "\\\\ok\",4,\"0001abff7f\",5,\"\",6,\"\",\r\n";
    EXPECT_EQ(ReadFileBytes(dir_.File("layer.attribute")),
              line1 + "12,0,\"B\",n,\"42\",big,\"1e+300\",third,\"0.3333333333333333\",\r\n");
    EXPECT_EQ(positions_[0], 0);
    EXPECT_EQ(positions_[1], static_cast<int64_t>(line1.size()));
  }

  HAR reader = CreateAR(dir_.File(Binary() ? "layer.battribute" : "layer.spatial").c_str());
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(NextAR(reader));
  EXPECT_EQ((std::vector<int64_t>{GetPositionAR(reader), GetIdAR(reader), GetUserIdAR(reader)}),
            (std::vector<int64_t>{positions_[0], 11, -5}));
  char text[64];
  EXPECT_TRUE(GetClassCodeAR(reader, text, sizeof(text)));
  EXPECT_STREQ(text, "ROAD,MAIN");
  ASSERT_EQ(GetAttributeCountAR(reader), 6);
  const int32_t binary_types[] = {1, 2, 5, 6, 5, 6};
  const char* texts[] = {"-2147483648", "-1.2345678e-06", kQuoted, "0001abff7f", "", ""};
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_TRUE(GetAttributeIdAR(reader, i, text, sizeof(text)));
    EXPECT_EQ(text, std::to_string(i + 1));
    EXPECT_EQ(GetAttributeDataTypeAR(reader, i), Binary() ? binary_types[i] : 5);
    EXPECT_TRUE(GetAttributeAR(reader, i, text, sizeof(text)));
    EXPECT_STREQ(text, texts[i]) << i;
  }
  EXPECT_EQ(GetIntAttributeAR(reader, 0), INT32_MIN);
  // The text form's number reader is not exact to the last bit.
  EXPECT_DOUBLE_EQ(GetDoubleAttributeAR(reader, 1), -1234.5678e-9);
  if (Binary()) {
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
  EXPECT_EQ(GetAttributeAR(reader, -1, text, sizeof(text)), !Binary());
  EXPECT_STREQ(text, Binary() ? "" : "ROAD,MAIN");

  ASSERT_TRUE(NextAR(reader));
  EXPECT_EQ(GetIdAR(reader), 12);
  // The binary getters do not convert: the integer entry is no double.
  EXPECT_EQ(GetDoubleAttributeAR(reader, 0) == 42.0, !Binary());
  EXPECT_DOUBLE_EQ(GetDoubleAttributeAR(reader, 1), 1e300);
  EXPECT_FALSE(NextAR(reader));
  ASSERT_TRUE(SetPositionAR(reader, positions_[1]));
  EXPECT_EQ(GetIdAR(reader), 12);
  EXPECT_FALSE(SetPositionAR(reader, GetSizeAR(reader)));
  ResetAR(reader);
  ASSERT_TRUE(NextAR(reader));
  EXPECT_EQ(GetPositionAR(reader), positions_[0]);
  FreeAR(reader);
}

TEST_P(AttributeReaderExports, NeutralResults) {
  std::string name = dir_.File(Binary() ? "l.battribute" : "l.attribute");
  WriteSample(CreateExAW(name.c_str(), Binary()), positions_);
  HAR reader = CreateExAR(name.c_str(), Binary());
  ASSERT_NE(reader, nullptr);

  // No record yet: neutral everywhere, the buffer NUL-filled.
  char text[16];
  std::memset(text, 'x', sizeof(text));
  EXPECT_FALSE(GetClassCodeAR(reader, text, sizeof(text)));
  EXPECT_EQ(std::string(text, 16), std::string(16, '\0'));
  EXPECT_EQ((std::vector<int64_t>{GetIdAR(reader), GetUserIdAR(reader), GetPositionAR(reader),
                                  GetAttributeCountAR(reader), GetAttributeDataTypeAR(reader, 0),
                                  GetAttributeAR(reader, -1, text, sizeof(text))}),
            (std::vector<int64_t>{0, 0, 0, 0, -1, 0}));

  // The bounded copy itself is checked through the CS string getters (one
  // helper serves both).
  ASSERT_TRUE(NextAR(reader));
  EXPECT_TRUE(GetClassCodeAR(reader, text, 4));
  EXPECT_EQ(std::string(text, 4), "ROAD");

  // Attribute indexes outside the record: neutral, the buffer emptied.
  for (int32_t i : {-2, 6, INT32_MAX, INT32_MIN}) {
    SCOPED_TRACE(i);
    std::memset(text, 'x', sizeof(text));
    EXPECT_FALSE(GetAttributeIdAR(reader, i, text, sizeof(text)));
    EXPECT_EQ(text[0], '\0');
    uint8_t bytes[8];
    EXPECT_EQ((std::vector<int64_t>{GetAttributeAR(reader, i, text, sizeof(text)),
                                    GetAttributeDataTypeAR(reader, i), GetIntAttributeAR(reader, i),
                                    GetBlobAttributeAR(reader, i, bytes, sizeof(bytes))}),
              (std::vector<int64_t>{0, -1, 0, 0}));
    EXPECT_EQ(GetDoubleAttributeAR(reader, i), 0.0);
  }
  EXPECT_FALSE(GetAttributeIdAR(reader, -1, text, sizeof(text)));

  FreeAR(reader);
}

INSTANTIATE_TEST_SUITE_P(BothForms, AttributeReaderExports, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Binary" : "Text";
                         });

TEST(AttributeExports, NullHandlesGiveNeutralResults) {
  EXPECT_EQ(AddRecordAW(nullptr, 1, 0, "C"), -1);
  AddAttributeAW(nullptr, "K", "v");
  AddIntAttributeAW(nullptr, "K", 1);
  AddDoubleAttributeAW(nullptr, "K", 1.0);
  AddBlobAttributeAW(nullptr, "K", "x", 1);
  FreeAW(nullptr);
  FreeAR(nullptr);
  ResetAR(nullptr);
  char buffer[4] = "abc";
  EXPECT_EQ((std::vector<int64_t>{NextAR(nullptr), GetIdAR(nullptr), GetUserIdAR(nullptr),
                                  GetClassCodeAR(nullptr, buffer, 4), GetAttributeCountAR(nullptr),
                                  GetAttributeIdAR(nullptr, 0, buffer, 4),
                                  GetAttributeAR(nullptr, 0, buffer, 4),
                                  GetAttributeDataTypeAR(nullptr, 0), GetIntAttributeAR(nullptr, 0),
                                  GetBlobAttributeAR(nullptr, 0, buffer, 4), GetPositionAR(nullptr),
                                  SetPositionAR(nullptr, 0), GetSizeAR(nullptr)}),
            (std::vector<int64_t>{0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(GetDoubleAttributeAR(nullptr, 0), 0.0);
  EXPECT_STREQ(buffer, "abc");
}

}  // namespace
