// The binary spatial writer and reader: exact bytes, round trips, damage.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "tests/vector/vector_test_util.h"
#include "vector/binary_spatial_reader64.h"
#include "vector/binary_spatial_writer.h"

namespace orvo {
namespace {

using orvotest::Bytes;
using orvotest::IdAt;
using orvotest::Patch32;
using orvotest::Patch64;
using orvotest::Raised;
using orvotest::RestIds;

constexpr const char* kError = "error in bspatial file";

class BinarySpatialTest : public testing::Test {
 protected:
  std::string Name() const { return dir_.File("layer.bspatial"); }
  // Three records: a line (id 7), a point with Z (id 3), a two-vector region (id 5).
  void WriteSample() {
    TBinarySpatialWriter w(Name().c_str());
    const int32_t line_counts[] = {2}, point_counts[] = {1}, region_counts[] = {3, 2};
    const double line[] = {10, 20, 11.5, 20}, point[] = {-1, -2}, z[] = {250.5};
    const double region[] = {0, 0, 4, 0, 4, 4, 1, 1, 2, 3};
    EXPECT_EQ(w.AddRecord(7, 2, line_counts, line, 1, nullptr), 48);
    EXPECT_EQ(w.AddRecord(3, 1, point_counts, point, 1, z), 48 + 88);
    EXPECT_EQ(w.AddRecord(5, 3, region_counts, region, 2, nullptr), 48 + 88 + 96);
  }
  // The sample's bytes with the 32-bit field at `at` set to value.
  void WritePatched(size_t at, int32_t value) {
    WriteSample();
    std::string bytes = orvotest::ReadFileBytes(Name());
    Patch32(bytes, at, value);
    orvotest::WriteFileBytes(Name(), bytes);
  }
  TPtr<TBinarySpatialReader64> Open() {
    return std::make_unique<TBinarySpatialReader64>(Name().c_str());
  }

  orvotest::TempDir dir_;
};

TEST_F(BinarySpatialTest, WritesTheExactBytesAndSkipsIdZero) {
  { TBinarySpatialWriter w(Name().c_str()); }
  // The header alone.
  EXPECT_EQ(orvotest::ReadFileBytes(Name()), Bytes().I64(48).I64(0).F64(0).F64(0).F64(0).F64(0).s);
  EXPECT_FALSE(Open()->ReadNext());
  WriteSample();
  Bytes e;
  e.I64(48 + 88 + 96 + 140).I64(3).F64(-1).F64(-2).F64(11.5).F64(20);
  e.I32(88).F64(10).F64(20).F64(11.5).F64(20).I32(7).I32(2).I32(2).I32(1);
  e.I32(0).F64(10).F64(20).F64(11.5).F64(20);
  e.I32(96).F64(-1).F64(-2).F64(-1).F64(-2).I32(3).I32(11).I32(1).I32(1);
  e.I32(0).F64(-1).F64(-2).F64(250.5).F64(250.5).F64(250.5);
  e.I32(140).F64(0).F64(0).F64(4).F64(4).I32(5).I32(3).I32(5).I32(2);
  e.I32(0).I32(3);
  for (double v : {0, 0, 4, 0, 4, 4, 1, 1, 2, 3}) e.F64(v);
  EXPECT_EQ(orvotest::ReadFileBytes(Name()), e.s);
  // Walks and fields are the SR exports' tests; records of id 0 are skipped.
  WritePatched(48 + 88 + 36, 0);  // the point's id
  auto r = Open();
  EXPECT_EQ(RestIds(*r), (std::vector<int32_t>{7, 5}));
  EXPECT_EQ(IdAt(*r, 48 + 88), 5);
  EXPECT_EQ(r->GetSpatialPosition(), 48 + 88 + 96);
}

TEST_F(BinarySpatialTest, BadHeadersAndDamagedRecordsRaise) {
  WriteSample();
  const std::string bytes = orvotest::ReadFileBytes(Name());
  const std::pair<std::string, const char*> cases[] = {
      {bytes + "x", "bad bspatial file format"},
      {bytes.substr(0, bytes.size() - 1), "bad bspatial file format"},
      {bytes.substr(0, 47), "can't open file"},
      {"", "can't open file"}};
  for (const auto& [file, message] : cases) {
    orvotest::WriteFileBytes(Name(), file);
    EXPECT_EQ(Raised([&] { TBinarySpatialReader64 r(Name().c_str()); }), message) << file.size();
  }
  const size_t point = 48 + 88, region = 48 + 88 + 96;
  struct Damage {
    const char* what;
    size_t at;
    int32_t value;
  } damages[] = {
      {"size zero", point, 0},
      {"size negative", point, -96},
      {"size below the head", point, 51},
      {"size past the end", point, 100000},
      {"size short of the counts", point, 95},
      {"vector count negative", point + 48, -1},
      {"vertex count negative", point + 44, -1},
      {"vertex count too large", point + 44, 1 << 28},
      {"vector count too large", point + 48, 1 << 28},
      {"first start not 0", point + 52, 1},
      {"start beyond the vertices", region + 56, 6},
      {"starts falling", region + 56, -1},
  };
  for (const Damage& d : damages) {
    WritePatched(d.at, d.value);
    auto r = Open();
    EXPECT_EQ(Raised([&] { RestIds(*r); }), kError) << d.what;
    EXPECT_FALSE(r->HasRecord()) << d.what;
  }
  // A record cut off by the end of the file, the header's size adjusted.
  WriteSample();
  std::string cut = orvotest::ReadFileBytes(Name());
  cut.resize(cut.size() - 8);
  Patch64(cut, 0, static_cast<int64_t>(cut.size()));
  orvotest::WriteFileBytes(Name(), cut);
  auto r = Open();
  EXPECT_TRUE(r->ReadNext());
  EXPECT_TRUE(r->ReadNext());
  EXPECT_EQ(Raised([&] { r->ReadNext(); }), kError);
}

TEST_F(BinarySpatialTest, WriterRefusesKindsThatDisagreeWithTheHeights) {
  {
    TBinarySpatialWriter w(Name().c_str());
    const int32_t counts[] = {1};
    const double xy[] = {1, 2}, z[] = {3};
    EXPECT_EQ(Raised([&] { w.AddRecord(0, 1, counts, xy, 1, nullptr); }), "bad spatial record");
    // A stored kind must say whether heights follow.
    EXPECT_EQ(Raised([&] { w.AddRecord(1, 12, counts, xy, 1, nullptr); }), "bad spatial record");
    EXPECT_EQ(Raised([&] { w.AddRecord(1, 10, counts, xy, 1, z); }), "bad spatial record");
    EXPECT_EQ(Raised([&] { w.AddRecord(1, -2, counts, xy, 1, z); }), "bad spatial record");
    EXPECT_EQ(w.AddRecord(9, 12, counts, xy, 1, z), 48);  // 12 with heights stays 12
    EXPECT_EQ(w.AddRecord(10, 0, counts, xy, 1, nullptr), 48 + 96);
    EXPECT_EQ(w.Header().record_count, 2);
  }
  auto r = Open();
  ASSERT_TRUE(r->ReadNext());
  EXPECT_EQ(r->GetLocal3D(), 12);
  EXPECT_EQ(RestIds(*r), std::vector<int32_t>{10});
}

}  // namespace
}  // namespace orvo
