// The binary spatial writer and reader: exact bytes, round trips, damage.
#include <gtest/gtest.h>

#include <cstring>
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
using orvotest::Doubles;
using orvotest::IdAt;
using orvotest::NextId;
using orvotest::Patch32;
using orvotest::Patch64;
using orvotest::Raised;
using orvotest::RestIds;
using orvotest::SpatialHead;
using Heads = std::vector<int64_t>;

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

TEST_F(BinarySpatialTest, WritesTheExactBytes) {
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
}

TEST_F(BinarySpatialTest, ReadsRecordsBack) {
  WriteSample();
  auto r = Open();
  EXPECT_EQ(r->Header().record_count, 3);
  EXPECT_FALSE(r->HasRecord());
  EXPECT_EQ(r->GetKind(), -1);
  EXPECT_EQ(r->GetMetric(), nullptr);
  ASSERT_TRUE(r->ReadNext());
  EXPECT_EQ(SpatialHead(*r), (Heads{7, 2, 2, 48, 1, 2}));
  EXPECT_EQ(r->GetZ(), nullptr);
  EXPECT_EQ(Doubles(r->GetMetric(), 4), (std::vector<double>{10, 20, 11.5, 20}));
  ASSERT_TRUE(r->ReadNext());
  EXPECT_EQ(SpatialHead(*r), (Heads{3, 1, 11, 48 + 88, 1, 1}));  // kind 1 with Z
  ASSERT_NE(r->GetZ(), nullptr);
  EXPECT_EQ(Doubles(r->GetZ(), 1), (std::vector<double>{250.5}));
  ASSERT_TRUE(r->ReadNext());
  EXPECT_EQ(SpatialHead(*r), (Heads{5, 3, 3, 48 + 88 + 96, 2, 5}));
  int32_t ints[4];
  std::memcpy(ints, r->GetVectorSize(), 8);
  std::memcpy(ints + 2, r->GetVectorPos(), 8);
  EXPECT_EQ(std::vector<int32_t>(ints, ints + 4), (std::vector<int32_t>{3, 2, 0, 3}));
  EXPECT_EQ(Doubles(r->GetBound(), 4), (std::vector<double>{0, 0, 4, 4}));
  EXPECT_FALSE(r->ReadNext());
  EXPECT_FALSE(r->HasRecord());
  EXPECT_EQ(IdAt(*r, 48 + 88), 3);
  EXPECT_EQ(NextId(*r), 5);
  EXPECT_FALSE(r->SetPosition(r->GetSize()));
  r->Reset();
  EXPECT_EQ(NextId(*r), 7);

  // Records with id 0 are skipped.
  r.reset();                      // a mapped file cannot be rewritten on every platform
  WritePatched(48 + 88 + 36, 0);  // the point's id
  r = Open();
  EXPECT_EQ(RestIds(*r), (std::vector<int32_t>{7, 5}));
  EXPECT_EQ(IdAt(*r, 48 + 88), 5);
  EXPECT_EQ(r->GetSpatialPosition(), 48 + 88 + 96);
}

TEST_F(BinarySpatialTest, HeaderMustMatchTheFile) {
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
  EXPECT_EQ(Raised([&] { TBinarySpatialReader64 r(dir_.File("none").c_str()); }),
            "can't open file");
}

TEST_F(BinarySpatialTest, DamagedRecordsEndWithAnError) {
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

TEST_F(BinarySpatialTest, SetPositionAnywhereIsSafe) {
  WriteSample();
  auto r = Open();
  for (int64_t at = -3; at < r->GetSize() + 3; ++at) {
    const std::string message = Raised([&] { r->SetPosition(at); });
    if (at < 48) {
      EXPECT_EQ(message, kError) << at;
    } else if (at == 48 || at == 136 || at == 232) {
      EXPECT_EQ(message, "") << at;
      EXPECT_TRUE(r->HasRecord());
    } else {
      EXPECT_TRUE(message.empty() || message == kError) << at;
    }
  }
}

// Random damage anywhere in the records: every walk ends, by false or by the
// message, and reads nothing outside the file (checked by the sanitizers).
TEST_F(BinarySpatialTest, RandomDamageNeverCrashesOrLoops) {
  WriteSample();
  const std::string good = orvotest::ReadFileBytes(Name());
  uint32_t state = 12345;
  auto next = [&] {
    state = state * 1103515245u + 12345u;
    return state >> 8;
  };
  for (int round = 0; round < 400; ++round) {
    std::string bytes = good;
    for (int i = 0, flips = 1 + next() % 6; i < flips; ++i)
      bytes[48 + next() % (bytes.size() - 48)] = static_cast<char>(next());
    if (round % 5 == 0) bytes.resize(48 + next() % (bytes.size() - 48));
    Patch64(bytes, 0, static_cast<int64_t>(bytes.size()));
    orvotest::WriteFileBytes(Name(), bytes);
    auto r = Open();
    int records = 0;
    const std::string message = Raised([&] {
      while (r->ReadNext()) {
        ++records;
        const int32_t* sizes = r->GetVectorSize();
        const int32_t n = r->GetVertexCount();
        int64_t total = 0;
        for (int32_t v = 0; v < r->GetVectorCount(); ++v) total += sizes[v];
        ASSERT_EQ(total, n);
        Doubles(r->GetMetric(), 2 * n);  // every coordinate inside the file
      }
    });
    EXPECT_LE(records, 3);
    EXPECT_TRUE(message.empty() || message == kError) << message;
    for (int64_t at = 48; at < r->GetSize(); at += 4) {
      const std::string m = Raised([&] { r->SetPosition(at); });
      ASSERT_TRUE(m.empty() || m == kError) << m;
    }
  }
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

TEST_F(BinarySpatialTest, RecordsLargerThanTheWindow) {
  const int32_t n = 200000;  // 3.2 MB of coordinates, several windows
  std::vector<double> xy(2 * n), z(n);
  for (int32_t i = 0; i < n; ++i) {
    xy[2 * i] = i;
    xy[2 * i + 1] = -i;
    z[i] = 0.5 * i;
  }
  const int32_t counts[] = {n};
  {
    TBinarySpatialWriter w(Name().c_str());
    for (int32_t id = 1; id <= 3; ++id) w.AddRecord(id, 2, counts, xy.data(), 1, z.data());
  }
  auto r = Open();
  for (int32_t id = 1; id <= 3; ++id) {
    ASSERT_EQ(NextId(*r), id);
    EXPECT_EQ(Doubles(r->GetMetric(), 2 * n), xy);
    EXPECT_EQ(Doubles(r->GetZ(), n), z);
  }
  EXPECT_FALSE(r->ReadNext());
}

}  // namespace
}  // namespace orvo
