// The text spatial reader (line classes, states, messages) and the writer's text.
#include "vector/text_spatial_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"
#include "vector/text_spatial_writer.h"

namespace orvo {
namespace {

using Heads = std::vector<int64_t>;

class TextSpatialReaderTest : public testing::Test {
 protected:
  // Writes the text as the layer's file and opens a reader on it.
  TSpatialReader& Open(const std::string& text) {
    reader_.reset();  // a mapped file cannot be rewritten on every platform
    orvotest::WriteFileBytes(dir_.File("layer.spatial"), text);
    reader_ = std::make_unique<TSpatialReader>(dir_.File("layer.spatial").c_str());
    return *reader_;
  }
  // The message ReadNext raises, or "" when it returns.
  std::string NextMessage() {
    return orvotest::Raised([&] { reader_->ReadNext(); });
  }
  // Id, kind, kind with height, position, vector and vertex counts.
  std::vector<int64_t> Head() const {
    const TSpatialReader& r = *reader_;
    return {r.GetId(),          r.GetKind(),       r.GetLocal3D(), r.GetSpatialPosition(),
            r.GetVectorCount(), r.GetVertexCount()};
  }
  std::vector<double> Metric() const {
    return std::vector<double>(reader_->GetMetric(),
                               reader_->GetMetric() + 2 * reader_->GetVertexCount());
  }

  orvotest::TempDir dir_;
  TPtr<TSpatialReader> reader_;
};

TEST_F(TextSpatialReaderTest, ReadsRecordsWithCommentsAndAnyLineEnds) {
  TSpatialReader& r = Open(
      "; a layer\r\n"
      "LIN 7\r\n"
      "  \t\r\n"
      "1\n"
      "3\r"
      "10,20\n\r"
      "; between vertices\r\n"
      "11.5 20\r\n"
      "\t12 , 21.25\r\n"
      "\r\n"
      "RGN 8\r\n2\r\n1\r\n0,0\r\n2\r\n1,1\r\n2,2");  // last line without its end
  // Neutral results, positions and Reset are checked through the SR exports.
  ASSERT_TRUE(r.ReadNext());
  EXPECT_EQ(Head(), (Heads{7, 2, 2, 11, 1, 3}));
  EXPECT_EQ(Metric(), (std::vector<double>{10, 20, 11.5, 20, 12, 21.25}));
  EXPECT_EQ(r.GetZ(), nullptr);
  ASSERT_TRUE(r.ReadNext());
  EXPECT_EQ(Head(), (Heads{8, 3, 3, r.GetSpatialPosition(), 2, 3}));
  EXPECT_EQ(r.GetVectorPos()[1], 1);
  EXPECT_EQ(Metric(), (std::vector<double>{0, 0, 1, 1, 2, 2}));
  EXPECT_FALSE(r.ReadNext());
}

TEST_F(TextSpatialReaderTest, HeaderKeywordsStateMessagesAndGoingOnAfterThem) {
  struct Case {
    const char* header;
    int32_t kind;
    int32_t id;
  } cases[] = {{"PNT 12", 1, 12}, {"pnt 12", 1, 12}, {"P 3", 1, 3},     {"pn 3", 1, 3},
               {"LIN -4", 2, -4}, {"RGN 5", 3, 5},   {"MIX 6", 5, 6},   {"TXT 7", 4, 7},
               {"T 3", 4, 3},     {"TL 9", 4, 9},    {"lin ,;9", 2, 9}, {"  Rgn\t11x", 3, 11}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    Open(std::string(c.header) + "\r\n1\r\n1\r\n1,2\r\n");
    ASSERT_EQ(NextMessage(), "");
    EXPECT_EQ(reader_->GetKind(), c.kind);
    EXPECT_EQ(reader_->GetId(), c.id);
  }
  const char* bad[] = {"NT 3", "PNT 0",  "PNT", "PNT ", "PNT,5 ", "X 1", "PNTLINRGNMIXTXTP 1",
                       "Q 1",  "PNT abc"};
  for (const char* header : bad) {
    Open(std::string(header) + "\r\n1\r\n1\r\n1,2\r\n");
    EXPECT_EQ(NextMessage(), "error in spatial file") << header;
  }
  struct Message {
    const char* text;
    const char* message;
  } messages[] = {
      {"5\r\n", "unknown localization"},
      {"1,2\r\n", "unknown localization"},
      {",,\r\n", "error in spatial file"},
      {"PNT 1\r\nPNT 2\r\n", "vector count expected but not found"},
      {"PNT 1\r\n1,2\r\n", "vector count expected but not found"},
      {"PNT 1\r\n0\r\n", "vector count is null"},
      {"PNT 1\r\n-3\r\n", "vector count is null"},
      {"PNT 1\r\n1\r\nPNT 2\r\n", "vertex count expected but not found"},
      {"PNT 1\r\n1\r\n1,2\r\n", "vertex count expected but not found"},
      {"PNT 1\r\n1\r\n0\r\n", "vertex count is null"},
      {"PNT 1\r\n2\r\n1\r\n1,2\r\n-1\r\n", "vertex count is null"},
      {"LIN 1\r\n1\r\n2\r\n1,2\r\nLIN 2\r\n", "error in spatial file"},
      {"LIN 1\r\n1\r\n2\r\n1,2\r\n3\r\n", "error in spatial file"},
      {"LIN 1\r\n1\r\n2\r\n1,2\r\n\t,\r\n", "error in spatial file"},
  };
  for (const Message& c : messages) {
    Open(c.text);
    EXPECT_EQ(NextMessage(), c.message) << c.text;
    EXPECT_FALSE(reader_->HasRecord());
  }
  // Reading goes on after an error, and Reset meets it again.
  TSpatialReader& r = Open("PNT 1\r\n0\r\nPNT 2\r\n1\r\n1\r\n5,6\r\n");
  EXPECT_EQ(NextMessage(), "vector count is null");
  ASSERT_EQ(NextMessage(), "");
  EXPECT_EQ(r.GetId(), 2);
  r.Reset();
  EXPECT_EQ(NextMessage(), "vector count is null");
}

TEST_F(TextSpatialReaderTest, HeightsOnlyWhenEveryVertexHasOneAndNumberSeparators) {
  // Numbers ignore the C locale: the test program runs under a comma-decimal one.
  TSpatialReader& r = Open(
      "PNT 1\r\n1\r\n1\r\n0.1,-2.5e3,7.25\r\n"
      "LIN 2\r\n1\r\n2\r\n1,2,3\r\n4,5\r\n"
      "LIN 3\r\n1\r\n2\r\n1 2 3 4\r\n4,5,-6e1\r\n");
  ASSERT_TRUE(r.ReadNext());
  EXPECT_EQ(r.GetLocal3D(), 11);
  EXPECT_EQ(Metric(), (std::vector<double>{0.1, -2500.0}));
  ASSERT_NE(r.GetZ(), nullptr);
  EXPECT_EQ(r.GetZ()[0], 7.25);
  ASSERT_TRUE(r.ReadNext());
  EXPECT_EQ(r.GetLocal3D(), 2);
  EXPECT_EQ(r.GetZ(), nullptr);
  ASSERT_TRUE(r.ReadNext());
  EXPECT_EQ(r.GetLocal3D(), 12);  // a fourth number is ignored
  EXPECT_EQ(std::vector<double>(r.GetZ(), r.GetZ() + 2), (std::vector<double>{3, -60}));

  // A semicolon does not separate numbers: "3;9" is one token, a count of 3.
  Open("LIN 1\r\n1\r\n3;9\r\n10 20\r\n10,20\r\n10\t,  20\r\n");
  ASSERT_TRUE(reader_->ReadNext());
  EXPECT_EQ(Metric(), (std::vector<double>{10, 20, 10, 20, 10, 20}));
  Open("LIN 1\r\n1\r\n2\r\n10;20\r\n");
  EXPECT_EQ(NextMessage(), "error in spatial file");
}

TEST_F(TextSpatialReaderTest, CutOffRecordsHugeCountsLongLinesAndNuls) {
  TSpatialReader& r = Open("PNT 1\r\n1\r\n1\r\n1,2\r\nLIN 2\r\n1\r\n3\r\n1,2\r\n2,3\r\n");
  ASSERT_TRUE(r.ReadNext());
  EXPECT_FALSE(r.ReadNext());
  EXPECT_EQ(r.GetMetric(), nullptr);
  // Under the sanitizers a reservation of these sizes would abort the test.
  Open("PNT 1\r\n2000000000\r\n1\r\n1,2\r\n");
  EXPECT_FALSE(reader_->ReadNext());
  Open("PNT 1\r\n1\r\n50000000\r\n1,2\r\n3,4\r\n");
  EXPECT_FALSE(reader_->ReadNext());
  // More vertices than one record may hold (see kMaxRecordVertices).
  Open("PNT 1\r\n1\r\n2147483647\r\n1,2\r\n3,4\r\n");
  EXPECT_EQ(NextMessage(), "error in spatial file");
  // A header longer than a line piece: its rest is read as the next line.
  Open("PNT 5" + std::string(300, ' ') + "0\r\n1\r\n1\r\n1,2\r\n");
  EXPECT_EQ(NextMessage(), "vector count is null");  // the "0" is taken as the count
  Open("PNT 5\r\n" + std::string(600, ' ') + "\r\n1\r\n1\r\n1,2\r\n");
  EXPECT_EQ(NextMessage(), "");
  EXPECT_EQ(reader_->GetId(), 5);
  // Bytes after a NUL are not part of the line (as with a C string), up to its end.
  Open(std::string("PNT 5\0 junk 7\r\n1\r\n1\r\n1,2\0,3\r\n", 29));
  ASSERT_EQ(NextMessage(), "");
  EXPECT_EQ(reader_->GetId(), 5);
  EXPECT_EQ(reader_->GetZ(), nullptr);
  // A piece of exactly the line length leaves its line end as an empty line.
  Open("PNT 5\r\n" + std::string(256, ' ') + "\r\n1\r\n1\r\n" + std::string(253, ' ') + "1,2\r\n");
  ASSERT_EQ(NextMessage(), "");
  EXPECT_EQ(reader_->GetMetric()[1], 2.0);
}

// Positions and a plain record are checked through the SW exports; here the
// numbers, heights, several vectors and the keyword of every kind.
TEST(TextSpatialWriter, WritesTheExactText) {
  orvotest::TempDir dir;
  std::string name = dir.File("layer.spatial");
  {
    TSpatialWriter w(name.c_str());
    const int32_t one[] = {1}, two[] = {1, 2};
    const double point[] = {5, 6};
    const double xy[] = {0.1, -2.5e-7, 1e17, 3, 123456.78901234567, -0.0};
    const double z[] = {100, 0.30000000000000004, -1};
    w.AddRecord(-8, 11, two, xy, 2, z);
    // Each id is its kind; 14 is written MIX.
    for (int32_t kind : {14, 4, 13, 2, 0})
      w.AddRecord(kind == 0 ? 12 : kind, kind, one, point, 1, nullptr);
  }
  EXPECT_EQ(orvotest::ReadFileBytes(name),
            "PNT -8\r\n2\r\n1\r\n0.1,-2.5e-07,100\r\n2\r\n1e+17,3,0.3\r\n"
            "123456.7890123457,-0,-1\r\n\r\n"
            "MIX 14\r\n1\r\n1\r\n5,6\r\n\r\nTXT 4\r\n1\r\n1\r\n5,6\r\n\r\n"
            "RGN 13\r\n1\r\n1\r\n5,6\r\n\r\nLIN 2\r\n1\r\n1\r\n5,6\r\n\r\n"
            "MIX 12\r\n1\r\n1\r\n5,6\r\n\r\n");
}

}  // namespace
}  // namespace orvo
