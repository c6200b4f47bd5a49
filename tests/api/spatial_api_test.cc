// SW and SR exports: names, bytes, refusals, walks, neutral results, damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "orvoapi.h"
#include "tests/support/temp_dir.h"
#include "tests/vector/spatial_index_files.h"

namespace {

struct Object {
  int32_t id;
  int32_t kind;
  std::vector<int32_t> counts;
  std::vector<double> xy;
  std::vector<double> z;  // empty: no heights
};

// A small network written out of id order: nodes 1-3, edges 10 and 11, a
// face 20 and a text 30.
const std::vector<Object> kLayer = {
    {30, 4, {1}, {5, 5}, {}},
    {10, 2, {2}, {0, 0, 10, 0}, {}},
    {1, 1, {1}, {0, 0}, {}},
    {20, 3, {4, 3}, {0, 0, 10, 0, 10, 10, 0, 0, 2, 2, 3, 2, 2, 3}, {}},
    {2, 1, {1}, {10, 0}, {}},
    {11, 2, {3}, {10, 0, 10, 5, 10, 10}, {1.5, 2.5, 3.5}},
    {3, 1, {1}, {10, 10}, {100.25}},
};

class SpatialReaderApiTest : public testing::TestWithParam<bool> {
 protected:
  bool Binary() const { return GetParam(); }
  std::string SpatialName() const {
    return dir_.File(Binary() ? "roads.bspatial" : "roads.spatial");
  }
  std::string IndexName() const { return dir_.File(Binary() ? "roads.bindex" : "roads.index"); }

  // Writes the layer (and its index) through the SW exports.
  void WriteLayer(bool with_index) {
    HSW w = CreateExSW(SpatialName().c_str(), Binary());
    ASSERT_NE(w, nullptr);
    std::vector<orvo::TSpatialIndexEx::SI> entries;
    for (const Object& o : kLayer) {
      const int32_t v = static_cast<int32_t>(o.counts.size());
      int64_t at =
          o.z.empty() ? AddRecordSW(w, o.id, o.kind, o.counts.data(), o.xy.data(), v)
                      : AddRecord3DSW(w, o.id, o.kind, o.counts.data(), o.xy.data(), v, o.z.data());
      ASSERT_GE(at, 0);
      positions_.push_back(at);
      entries.push_back(orvotest::IndexEntry(o.id, o.kind, at, 1000 + 10 * entries.size()));
    }
    FreeSW(w);
    if (with_index) {
      orvotest::WriteFileBytes(IndexName(), Binary() ? orvotest::BinaryIndexBytes(entries)
                                                     : orvotest::TextIndexBytes(entries));
    }
  }
  HSR Open() {
    HSR r = CreateExSR(SpatialName().c_str(), Binary());
    EXPECT_NE(r, nullptr);
    return r;
  }
  // Compares the current record with the object it should be.
  static void ExpectRecord(HSR r, const Object& o) {
    SCOPED_TRACE(o.id);
    ASSERT_EQ(GetIdSR(r), o.id);
    EXPECT_EQ(GetLocalSR(r), o.kind);
    EXPECT_EQ(GetLocal3DSR(r), o.z.empty() ? o.kind : o.kind + 10);
    const int32_t v = GetVectorCountSR(r), n = GetVertexCountSR(r);
    ASSERT_EQ(v, static_cast<int32_t>(o.counts.size()));
    ASSERT_EQ(n, static_cast<int32_t>(o.xy.size() / 2));
    EXPECT_EQ(std::vector<int32_t>(GetVectorSizeSR(r), GetVectorSizeSR(r) + v), o.counts);
    std::vector<int32_t> starts(v);
    std::memcpy(starts.data(), GetVectorPosSR(r), 4 * v);
    EXPECT_EQ(starts.back(), n - o.counts.back());
    std::vector<double> xy(2 * n), z(o.z.size());
    std::memcpy(xy.data(), GetMetricSR(r), 16 * n);
    EXPECT_EQ(xy, o.xy);
    ASSERT_EQ(GetZSR(r) == nullptr, z.empty());
    if (!z.empty()) std::memcpy(z.data(), GetZSR(r), 8 * n);
    EXPECT_EQ(z, o.z);
  }

  orvotest::TempDir dir_;
  std::vector<int64_t> positions_;
};

TEST_P(SpatialReaderApiTest, WalksTheFileInFileOrderWithoutAnIndex) {
  WriteLayer(false);
  HSR r = Open();
  EXPECT_FALSE(IsNetworkSR(r));
  EXPECT_EQ(GetSizeSR(r), static_cast<int64_t>(orvotest::ReadFileBytes(SpatialName()).size()));
  for (size_t i = 0; i < kLayer.size(); ++i) {
    ASSERT_TRUE(NextSR(r));
    ExpectRecord(r, kLayer[i]);
    SPATIALINDEXRECORD record;  // no index: no attribute position, links or record
    EXPECT_EQ(
        (std::vector<int64_t>{GetPositionSR(r), GetSpatialPositionSR(r), GetAttributePositionSR(r),
                              GetLeftFaceSR(r), GetIndexRecordSR(r, &record)}),
        (std::vector<int64_t>{positions_[i], positions_[i], 0, 0, 0}));
  }
  EXPECT_FALSE(NextSR(r));
  EXPECT_EQ(GetIdSR(r), 0);
  EXPECT_FALSE(FindPositionSR(r, 10));
  ASSERT_TRUE(SetPositionSR(r, positions_[5]));
  ExpectRecord(r, kLayer[5]);
  BOUND b = {-1, -1, -1, -1};
  GetBoundSR(r, &b);
  EXPECT_EQ(std::vector<double>({b.minx, b.miny, b.maxx, b.maxy}),
            std::vector<double>({10, 0, 10, 10}));
  EXPECT_FALSE(SetPositionSR(r, GetSizeSR(r)));
  ResetSR(r);
  ASSERT_TRUE(NextNodeSR(r));  // skips the text 30
  EXPECT_EQ(GetIdSR(r), 1);
  ASSERT_TRUE(NextEdgeSR(r));
  EXPECT_EQ(GetIdSR(r), 11);
  EXPECT_FALSE(NextEdgeSR(r));
  FreeSR(r);
}

TEST_P(SpatialReaderApiTest, WalksInIdOrderThroughTheIndex) {
  WriteLayer(true);
  HSR r = Open();
  ASSERT_TRUE(IsNetworkSR(r));
  std::vector<int32_t> ids;
  while (NextSR(r)) {
    const int32_t id = GetIdSR(r);
    size_t i = 0;
    while (kLayer[i].id != id) ++i;
    ids.push_back(id);
    ExpectRecord(r, kLayer[i]);
    EXPECT_EQ(GetSpatialPositionSR(r), positions_[i]);
    EXPECT_EQ(GetAttributePositionSR(r), static_cast<int64_t>(1000 + 10 * i));
    EXPECT_EQ(std::vector<int32_t>({GetLeftFaceSR(r), GetRightFaceSR(r), GetLeftEdgeSR(r),
                                    GetRightEdgeSR(r), GetStartPointSR(r), GetEndPointSR(r)}),
              std::vector<int32_t>({id + 100, id + 200, id + 300, id + 400, id + 500, id + 600}));
  }
  EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3, 10, 11, 20, 30}));
  EXPECT_EQ(GetLeftFaceSR(r), 0);  // no record after the end

  // The index record: links in its own order, kind with height from the record.
  ASSERT_TRUE(FindPositionSR(r, 11));
  SPATIALINDEXRECORD record;
  std::memset(&record, 0xAB, sizeof record);
  ASSERT_TRUE(GetIndexRecordSR(r, &record));
  EXPECT_EQ(record.local3d, 12);
  EXPECT_EQ(std::vector<int32_t>({record.left_edge, record.right_edge, record.start_point,
                                  record.end_point, record.left_face, record.right_face}),
            std::vector<int32_t>({311, 411, 511, 611, 111, 211}));
  EXPECT_EQ(static_cast<uint32_t>(record.reserved), 0xABABABABu);  // never written
  EXPECT_EQ(record.bound.minx, 11.0);
  EXPECT_EQ(record.bound.maxy, 22.25);
  EXPECT_FALSE(GetIndexRecordSR(r, nullptr));

  // A jump moves the walk: it goes on after the id jumped to.
  EXPECT_FALSE(FindPositionSR(r, 12));
  EXPECT_EQ(GetIdSR(r), 11);  // unchanged by a failed jump
  ASSERT_TRUE(FindPositionSR(r, 2));
  ASSERT_TRUE(NextSR(r));
  EXPECT_EQ(GetIdSR(r), 3);

  ResetSR(r);
  std::vector<int32_t> nodes, edges;
  while (NextNodeSR(r)) nodes.push_back(GetIdSR(r));
  ResetSR(r);
  while (NextEdgeSR(r)) {
    // Visit the start node and come back, as a network walk does.
    edges.push_back(GetIdSR(r));
    FindPositionSR(r, 1);
    EXPECT_EQ(GetLocalSR(r), 1);
    ASSERT_TRUE(FindPositionSR(r, edges.back()));
  }
  EXPECT_EQ(nodes, (std::vector<int32_t>{1, 2, 3}));  // 3 has heights: kind 11
  EXPECT_EQ(edges, (std::vector<int32_t>{10, 11}));
  FreeSR(r);
}

TEST_P(SpatialReaderApiTest, NamesChooseTheFormAndTheIndex) {
  WriteLayer(true);
  // CreateSR: the extension picks the form; the spatial file is base + its extension.
  for (const char* name :
       {Binary() ? "roads.battribute" : "roads.attribute", Binary() ? "roads.BSpatial" : "roads"}) {
    HSR r = CreateSR(dir_.File(name).c_str());
    ASSERT_NE(r, nullptr) << name;
    ASSERT_TRUE(NextSR(r));
    EXPECT_EQ(GetIdSR(r), 1) << name;  // id order: the index was found
    FreeSR(r);
  }
  // A damaged index is not used; the file is walked in file order.
  orvotest::WriteFileBytes(IndexName(), Binary() ? "__sdnb__" : "");
  HSR r = Open();
  EXPECT_EQ(IsNetworkSR(r), !Binary());  // an empty text index loads (and is empty)
  FreeSR(r);
}

TEST_P(SpatialReaderApiTest, NeutralResults) {
  EXPECT_EQ(CreateExSR(dir_.File("none").c_str(), Binary()), nullptr);
  EXPECT_EQ(CreateExSR(nullptr, Binary()), nullptr);
  WriteLayer(true);
  HSR r = Open();  // an index, no record read yet
  SPATIALINDEXRECORD record;
  EXPECT_EQ((std::vector<int64_t>{GetIdSR(r), GetLocalSR(r), GetLocal3DSR(r), GetVectorCountSR(r),
                                  GetVertexCountSR(r), GetPositionSR(r), GetSpatialPositionSR(r),
                                  GetAttributePositionSR(r), GetStartPointSR(r),
                                  GetIndexRecordSR(r, &record)}),
            (std::vector<int64_t>{0, -1, -1, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(
      (std::vector<const void*>{GetVectorSizeSR(r), GetVectorPosSR(r), GetMetricSR(r), GetZSR(r)}),
      std::vector<const void*>(4, nullptr));
  BOUND b = {7, 7, 7, 7};
  GetBoundSR(r, &b);
  GetBoundSR(r, nullptr);
  EXPECT_EQ(b.minx, 7);  // nothing written
  FreeSR(r);
}

INSTANTIATE_TEST_SUITE_P(BothForms, SpatialReaderApiTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Binary" : "Text";
                         });

const int32_t kOne[] = {1};
const double kXY[] = {1, 2, 3, 4};

TEST(SpatialFileApi, NamesChooseTheFormAndFileAndBadFilesEndWalks) {
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
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("roads.spatial")),
            std::string("\x30", 1) + std::string(47, '\0'));
  FreeSW(CreateExSW(dir.File("plain.txt").c_str(), false));
  EXPECT_EQ(orvotest::ReadFileBytes(dir.File("plain.txt")), "");

  EXPECT_EQ(CreateSW(dir.File("no/such/dir/roads").c_str()), nullptr);
  EXPECT_EQ(CreateSW(nullptr), nullptr);
  EXPECT_EQ(CreateExSW(nullptr, false), nullptr);
  EXPECT_EQ(CreateExSW(dir.File("no/such/dir/roads").c_str(), true), nullptr);
  // Bad files end the reader's walk or give no handle.
  orvotest::WriteFileBytes(
      dir.File("a.spatial"),
      "PNT 4\r\n1\r\n1\r\n2.5,3.5\r\nLIN 5\r\n1\r\n0\r\nPNT 6\r\n1\r\n1\r\n1,1\r\n");
  HSR r = CreateSR(dir.File("a").c_str());
  ASSERT_TRUE(NextSR(r));
  EXPECT_FALSE(NextSR(r));  // "vertex count is null" ends the walk
  EXPECT_EQ(GetIdSR(r), 0);
  FreeSR(r);
  orvotest::WriteFileBytes(dir.File("b.bspatial"), std::string(100, 'x'));
  EXPECT_EQ(CreateSR(dir.File("b.bspatial").c_str()), nullptr);
}

// One refused call must not cost the rest of the layer: every later record
// reads back, in both forms.
TEST(SpatialWriterApi, RefusedRecordsLeaveTheLayerReadable) {
  orvotest::TempDir dir;
  for (const char* name : {"a.spatial", "a.bspatial"}) {
    SCOPED_TRACE(name);
    // Which records are refused is the record check's test.
    const int32_t bad_counts[] = {1, 0};
    HSW w = CreateSW(dir.File(name).c_str());
    EXPECT_GE(AddRecordSW(w, 1, 2, kOne, kXY, 1), 0);
    EXPECT_EQ(AddRecordSW(w, 0, 2, kOne, kXY, 1), -1);
    EXPECT_EQ(AddRecordSW(w, 2, 2, bad_counts, kXY, 2), -1);
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
    std::memcpy(&z, GetZSR(r), sizeof z);  // the mapped file need not align it
    EXPECT_EQ(z, 1.0);
    EXPECT_FALSE(NextSR(r));
    FreeSR(r);
  }
}

TEST(SpatialApi, NullHandlesGiveNeutralResults) {
  EXPECT_EQ(AddRecordSW(nullptr, 1, 2, kOne, kXY, 1), -1);
  EXPECT_EQ(AddRecord3DSW(nullptr, 1, 2, kOne, kXY, 1, kXY), -1);
  WriteBoundsSW(nullptr);
  WriteTicksSW(nullptr);
  FreeSW(nullptr);
  EXPECT_EQ(CreateSR(nullptr), nullptr);
  FreeSR(nullptr);
  ResetSR(nullptr);
  BOUND b = {7, 7, 7, 7};
  GetBoundSR(nullptr, &b);
  EXPECT_EQ(b.minx, 7);
  EXPECT_EQ(GetMetricSR(nullptr), nullptr);
  EXPECT_EQ((std::vector<int64_t>{NextSR(nullptr), NextEdgeSR(nullptr), GetIdSR(nullptr),
                                  GetLocalSR(nullptr), GetLocal3DSR(nullptr), GetSizeSR(nullptr),
                                  SetPositionSR(nullptr, 0), FindPositionSR(nullptr, 1),
                                  IsNetworkSR(nullptr), GetRightEdgeSR(nullptr)}),
            (std::vector<int64_t>{0, 0, 0, -1, -1, 0, 0, 0, 0, 0}));
}

}  // namespace
