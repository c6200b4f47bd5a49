// SW exports: forms chosen by name, positions, exact bytes, refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

const int32_t kOne[] = {1};
const double kXY[] = {1, 2, 3, 4};

TEST(SpatialWriterApi, NamesChooseTheFormAndFile) {
  orvotest::TempDir dir;
  HSW w = CreateSW(dir.File("roads.BAttribute").c_str());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(AddRecordSW(w, 1, 1, kOne, kXY, 1), 48);
  EXPECT_EQ(AddRecordSW(w, 2, 1, kOne, kXY, 1), 48 + 72);
  FreeSW(w);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("roads.bspatial")).size(), 48u + 2 * 72);

  w = CreateSW(dir.File("roads").c_str());
  EXPECT_EQ(AddRecordSW(w, 1, 1, kOne, kXY, 1), 0);
  EXPECT_EQ(AddRecordSW(w, 2, 1, kOne, kXY, 1), 20);
  FreeSW(w);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("roads.spatial")),
            "PNT 1\r\n1\r\n1\r\n1,2\r\n\r\nPNT 2\r\n1\r\n1\r\n1,2\r\n\r\n");

  // CreateExSW keeps the name; an existing file is replaced.
  FreeSW(CreateExSW(dir.File("roads.spatial").c_str(), true));
  std::string empty = orvotest::ReadFileBytes(dir.File("roads.spatial"));
  ASSERT_EQ(empty.size(), 48u);
  EXPECT_EQ(empty, std::string("\x30", 1) + std::string(47, '\0'));
  FreeSW(CreateExSW(dir.File("plain.txt").c_str(), false));
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("plain.txt")), "");

  EXPECT_EQ(CreateSW(dir.File("no/such/dir/roads").c_str()), nullptr);
  EXPECT_EQ(CreateSW(nullptr), nullptr);
  EXPECT_EQ(CreateExSW(nullptr, false), nullptr);
  EXPECT_EQ(CreateExSW(dir.File("no/such/dir/roads").c_str(), true), nullptr);
}

// One refused call must not cost the rest of the layer: every later record
// reads back, in both forms.
TEST(SpatialWriterApi, RefusedRecordsLeaveTheLayerReadable) {
  EXPECT_EQ(AddRecordSW(nullptr, 1, 2, kOne, kXY, 1), -1);
  EXPECT_EQ(AddRecord3DSW(nullptr, 1, 2, kOne, kXY, 1, kXY), -1);
  WriteBoundsSW(nullptr);
  WriteTicksSW(nullptr);
  FreeSW(nullptr);
  orvotest::TempDir dir;
  for (const char* name : {"a.spatial", "a.bspatial"}) {
    SCOPED_TRACE(name);
    const int32_t bad_counts[] = {1, 0};
    const int32_t negative[] = {-1};
    HSW w = CreateSW(dir.File(name).c_str());
    EXPECT_GE(AddRecordSW(w, 1, 2, kOne, kXY, 1), 0);
    EXPECT_EQ(AddRecordSW(w, 0, 2, kOne, kXY, 1), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, bad_counts, kXY, 2), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, negative, kXY, 1), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, nullptr, kXY, 1), -1);
    EXPECT_EQ(AddRecord3DSW(w, 2, 2, kOne, kXY, 1, nullptr), -1);
    WriteBoundsSW(w);
    WriteTicksSW(w);
    EXPECT_GE(AddRecord3DSW(w, 3, 2, kOne, kXY, 1, kXY), 0);
    FreeSW(w);
    HSR r = CreateSR(dir.File(name).c_str());
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(NextSR(r));
    EXPECT_EQ(GetIdSR(r), 1);
    ASSERT_TRUE(NextSR(r));
    EXPECT_EQ(GetIdSR(r), 3);
    EXPECT_EQ(GetLocal3DSR(r), 12);
    double z;
    std::memcpy(&z, GetZSR(r), sizeof z);
    EXPECT_EQ(z, 1.0);
    EXPECT_FALSE(NextSR(r));
    FreeSR(r);
  }
}

}  // namespace
