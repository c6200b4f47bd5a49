// SW exports: forms chosen by name, positions, exact bytes, refusals.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(SpatialWriterApi, NamesChooseTheFormAndFile) {
  orvotest::TempDir dir;
  HSW w = CreateSW(dir.File("roads.BAttribute").c_str());
  ASSERT_NE(w, nullptr);
  const int32_t counts[] = {1};
  const double xy[] = {1, 2};
  EXPECT_EQ(AddRecordSW(w, 1, 1, counts, xy, 1), 48);
  EXPECT_EQ(AddRecordSW(w, 2, 1, counts, xy, 1), 48 + 72);
  FreeSW(w);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("roads.bspatial")).size(), 48u + 2 * 72);

  w = CreateSW(dir.File("roads").c_str());
  EXPECT_EQ(AddRecordSW(w, 1, 1, counts, xy, 1), 0);
  EXPECT_EQ(AddRecordSW(w, 2, 1, counts, xy, 1), 20);
  FreeSW(w);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("roads.spatial")),
            "PNT 1\r\n1\r\n1\r\n1,2\r\n\r\nPNT 2\r\n1\r\n1\r\n1,2\r\n\r\n");

  // CreateExSW keeps the name; an existing file is replaced.
  w = CreateExSW(dir.File("roads.spatial").c_str(), true);
  FreeSW(w);
  std::string empty = orvotest::ReadFileBytes(dir.File("roads.spatial"));
  ASSERT_EQ(empty.size(), 48u);
  int64_t size;
  std::memcpy(&size, empty.data(), 8);
  EXPECT_EQ(size, 48);
  EXPECT_EQ(empty.substr(8), std::string(40, '\0'));

  w = CreateExSW(dir.File("plain.txt").c_str(), false);
  FreeSW(w);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("plain.txt")), "");

  EXPECT_EQ(CreateSW(dir.File("no/such/dir/roads").c_str()), nullptr);
  EXPECT_EQ(CreateSW(nullptr), nullptr);
  EXPECT_EQ(CreateExSW(nullptr, false), nullptr);
  EXPECT_EQ(CreateExSW(dir.File("no/such/dir/roads").c_str(), true), nullptr);
}

TEST(SpatialWriterApi, RecordsWithHeights) {
  orvotest::TempDir dir;
  const int32_t counts[] = {2};
  const double xy[] = {1, 2, 3, 4};
  const double z[] = {-0.5, 1e21};
  HSW w = CreateSW(dir.File("a.spatial").c_str());
  EXPECT_EQ(AddRecord3DSW(w, 5, 2, counts, xy, 1, z), 0);
  EXPECT_EQ(AddRecord3DSW(w, 5, 2, counts, xy, 1, nullptr), -1);
  FreeSW(w);
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("a.spatial")),
            "LIN 5\r\n1\r\n2\r\n1,2,-0.5\r\n3,4,1e+21\r\n\r\n");

  w = CreateSW(dir.File("a.bspatial").c_str());
  EXPECT_EQ(AddRecord3DSW(w, 5, 2, counts, xy, 1, z), 48);
  FreeSW(w);
  HSR r = CreateSR(dir.File("a.bspatial").c_str());
  ASSERT_TRUE(NextSR(r));
  EXPECT_EQ(GetLocalSR(r), 2);
  EXPECT_EQ(GetLocal3DSR(r), 12);
  double got[2];
  std::memcpy(got, GetZSR(r), sizeof got);
  EXPECT_EQ(got[1], 1e21);
  FreeSR(r);
}

// One refused call must not cost the rest of the layer: every later record
// reads back, in both forms.
TEST(SpatialWriterApi, RefusedRecordsLeaveTheLayerReadable) {
  orvotest::TempDir dir;
  for (const char* name : {"a.spatial", "a.bspatial"}) {
    SCOPED_TRACE(name);
    const int32_t counts[] = {2};
    const int32_t bad_counts[] = {2, 0};
    const int32_t negative[] = {-1};
    const double xy[] = {1, 2, 3, 4};
    EXPECT_EQ(AddRecordSW(nullptr, 1, 2, counts, xy, 1), -1);
    EXPECT_EQ(AddRecord3DSW(nullptr, 1, 2, counts, xy, 1, xy), -1);
    WriteBoundsSW(nullptr);
    WriteTicksSW(nullptr);
    HSW w = CreateSW(dir.File(name).c_str());
    EXPECT_GE(AddRecordSW(w, 1, 2, counts, xy, 1), 0);
    EXPECT_EQ(AddRecordSW(w, 0, 2, counts, xy, 1), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, counts, xy, 0), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, bad_counts, xy, 2), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, negative, xy, 1), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, nullptr, xy, 1), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, counts, nullptr, 1), -1);
    WriteBoundsSW(w);
    WriteTicksSW(w);
    EXPECT_GE(AddRecordSW(w, 3, 2, counts, xy, 1), 0);
    FreeSW(w);
    HSR r = CreateSR(dir.File(name).c_str());
    ASSERT_NE(r, nullptr);
    ASSERT_TRUE(NextSR(r));
    EXPECT_EQ(GetIdSR(r), 1);
    ASSERT_TRUE(NextSR(r));
    EXPECT_EQ(GetIdSR(r), 3);
    EXPECT_FALSE(NextSR(r));
    FreeSR(r);
  }
  FreeSW(nullptr);
}

}  // namespace
