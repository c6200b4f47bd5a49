// Text attribute files: the field splitter, exact lines, lines read back, refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/vector/vector_test_util.h"
#include "vector/text_attribute_reader.h"
#include "vector/text_attribute_writer.h"
#include "vector/tokenizer.h"

namespace orvo {
namespace {

using orvotest::IdAt;
using orvotest::NextId;
using orvotest::ReadFileBytes;
using orvotest::RestIds;
using orvotest::WriteFileBytes;

using Strings = std::vector<std::string>;

Strings Split(const char* line) {
  TTokenizer tokenizer(',', '"');
  tokenizer.Reset(line);
  Strings tokens;
  std::string token;
  while (tokenizer.Next(token)) tokens.push_back(token);
  EXPECT_FALSE(tokenizer.Next(token)) << "no token after the end";
  return tokens;
}

TEST(Tokenizer, SplitsPlainAndQuotedFields) {
  const struct {
    const char* line;
    Strings tokens;
  } cases[] = {
      {"7,0,\"A1\",NAME,\"Main St\",\r\n", {"7", "0", "A1", "NAME", "Main St"}},
      // Leading spaces are skipped, trailing ones kept; empty fields stay.
      {"  a , b,,c", {"a ", "b", "", "c"}},
      // Spaces inside quotes are kept; text after the closing quote is skipped
      // up to the separator.
      {"\" x \"junk,next", {" x ", "next"}},
      {"a,b\rc,d", {"a", "b"}},
      {"", {}},
      {"  \r\n", {}},
      // A backslash takes the next character literally, inside quotes only.
      {"\"a\\\"b\"", {"a\"b"}},
      {"\"a\\,b\",c", {"a,b", "c"}},
      {"a\\b,c", {"a\\b", "c"}},
      // An unterminated quote gives an empty token and ends the line.
      {"1,\"abc", {"1", ""}},
      {"1,\"ab\\", {"1", ""}},
      {"1,\"ab\r\"c\",d", {"1", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.line), c.tokens) << c.line;
}

class TextAttributeFile : public testing::Test {
 protected:
  orvotest::TempDir dir_;
  std::string path = dir_.File("a.attribute");
};

// Position, id, user id, class code and every attribute as id=value.
Strings Record(const TAttributeReader& reader) {
  Strings all = {std::to_string(reader.GetPosition()), std::to_string(reader.GetId()),
                 std::to_string(reader.GetUserId()), std::string(reader.GetClassCode())};
  for (int32_t i = 0; i < reader.GetAttributeCount(); ++i) {
    all.push_back(std::string(reader.GetAttributeId(i)) + "=" +
                  std::string(reader.GetAttribute(i)));
  }
  return all;
}

TEST_F(TextAttributeFile, WriterWritesExactLinesQuotingWhatWouldBreakThem) {
  { TAttributeWriter writer(path.c_str()); }
  EXPECT_EQ(ReadFileBytes(path), "");
  {
    TAttributeWriter writer(path.c_str());
    // Attributes before the first record form a line of their own.
    EXPECT_TRUE(writer.AddAttribute("X", "1"));
    EXPECT_EQ(writer.AddRecord(7, 0, "A1"), 8);
    EXPECT_TRUE(writer.AddAttribute("NAME", "Main \"St\""));
    EXPECT_TRUE(writer.AddAttribute("W", "a\\b\r\nc"));
    // The next line starts after the first and its CR LF.
    EXPECT_EQ(writer.AddRecord(-8, 123, ""), 8 + 40);
    EXPECT_TRUE(writer.AddAttribute("", ""));
    // Ids and codes that would break the line are quoted.
    EXPECT_EQ(writer.AddRecord(1, 0, "a\"b\\c,d"), 8 + 56);
    EXPECT_TRUE(writer.AddAttribute("x,y\"z\\", "v"));
    EXPECT_TRUE(writer.AddAttribute("l\r\nf", "w"));
    EXPECT_TRUE(writer.AddAttribute(" lead", "u"));
    EXPECT_GT(writer.AddRecord(2, 0, "code\r\n"), 0);
  }
  EXPECT_EQ(ReadFileBytes(path),
            "X,\"1\",\r\n"
            "7,0,\"A1\",NAME,\"Main \\\"St\\\"\",W,\"a\\\\bc\",\r\n"
            "-8,123,\"\",,\"\",\r\n"
            "1,0,\"a\\\"b\\\\c,d\",\"x,y\\\"z\\\\\",\"v\",\"lf\",\"w\", lead,\"u\",\r\n"
            "2,0,\"code\",\r\n");
  TAttributeReader reader(path.c_str());
  ASSERT_EQ(IdAt(reader, 8 + 56), 1);
  // Leading spaces of an unquoted field are not kept by the format.
  EXPECT_EQ(Record(reader), (Strings{"64", "1", "0", "a\"b\\c,d", "x,y\"z\\=v", "lf=w", "lead=u"}));
  ASSERT_EQ(NextId(reader), 2);
  EXPECT_EQ(reader.GetClassCode(), "code");
}

TEST_F(TextAttributeFile, WriterRefusesWhatNoReaderCouldReturnAndKeepsLinesWhole) {
  {
    TAttributeWriter writer(path.c_str());
    EXPECT_EQ(writer.AddRecord(1, 0, "A"), 0);
    EXPECT_TRUE(writer.AddAttribute("K", "1"));
    EXPECT_EQ(writer.AddRecord(0, 0, "A"), -1);
    // Dropped: they belong to the refused record, not to record 1.
    EXPECT_FALSE(writer.AddAttribute("K", "lost"));
    EXPECT_EQ(writer.AddRecord(2, 0, nullptr), -1);
    EXPECT_FALSE(writer.AddAttribute("K", "lost"));
    EXPECT_EQ(writer.AddRecord(3, 0, "A"), 16);
    EXPECT_FALSE(writer.AddAttribute(nullptr, "v"));
    EXPECT_FALSE(writer.AddAttribute("K", nullptr));
    EXPECT_EQ(writer.AddRecord(4, 0, std::string(2100, 'c').c_str()), -1);
  }
  EXPECT_EQ(ReadFileBytes(path), "1,0,\"A\",K,\"1\",\r\n3,0,\"A\",\r\n");
  // "1,0,\"A\"," is 8 characters; each attribute K,"v...", adds 5 + value.
  std::string fill(TAttributeWriter::kMaxLineLength - 8 - 5, 'v');
  {
    TAttributeWriter writer(path.c_str());
    writer.AddRecord(1, 0, "A");
    EXPECT_FALSE(writer.AddAttribute("K", (fill + "v").c_str()));
    EXPECT_TRUE(writer.AddAttribute("K", fill.c_str()));
    EXPECT_FALSE(writer.AddAttribute("", ""));
    writer.AddRecord(2, 0, "B");
  }
  TAttributeReader reader(path.c_str());
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(Record(reader), (Strings{"0", "1", "0", "A", "K=" + fill}));
  EXPECT_EQ(RestIds(reader), std::vector<int32_t>{2});
}

TEST_F(TextAttributeFile, ReaderReadsRecordsAndSkipsOtherLines) {
  std::string text =
      "; comment\r\n"               // 0: fewer than three fields
      "\r\n"                        // 11
      "0,5,\"A1\",K,\"v\",\r\n"     // 13: id 0
      "7,0,\"A1\",\n"               // 30: LF only
      "8,x,\"B\",ID1,\"v1\",ID2\r"  // 40: CR only, id without a value
      " 9 ,-3,C,n,\"1e3\"";         // 61: unquoted code, no line end
  WriteFileBytes(path, text);
  TAttributeReader reader(path.c_str());
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(Record(reader), (Strings{"30", "7", "0", "A1"}));
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(Record(reader), (Strings{"40", "8", "0", "B", "ID1=v1", "ID2="}));
  EXPECT_EQ(reader.GetAttribute(-1), "B");
  EXPECT_EQ(reader.GetAttribute(2), "");
  EXPECT_EQ(reader.GetAttributeId(-1), "");
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ(Record(reader), (Strings{"61", "9", "-3", "C", "n=1e3"}));
  EXPECT_EQ(reader.GetDouble(0), 1000.0);
  EXPECT_EQ(reader.GetInt(0), 1);
  EXPECT_FALSE(reader.ReadNext());
  EXPECT_EQ(reader.GetPosition(), 0);
  // Positions: a record's own, one inside a line (the rest of it is read).
  EXPECT_EQ(IdAt(reader, 40), 8);
  EXPECT_EQ(IdAt(reader, 0), 7);
  EXPECT_EQ(IdAt(reader, 43), 9);  // "\"B\",ID1,..." gives id 0: skipped
}

// Bounded copies and neutral results are checked through the AR exports.
TEST_F(TextAttributeFile, ReaderTypedValuesFromText) {
  WriteFileBytes(path, "1,0,\"A\",I,\" 42x\",R,\"-1.5e2\",O,\"abc\",H,\"99999999999\",\r\n");
  TAttributeReader reader(path.c_str());
  ASSERT_TRUE(reader.ReadNext());
  EXPECT_EQ((std::vector<int32_t>{reader.GetInt(0), reader.GetInt(1), reader.GetInt(3)}),
            (std::vector<int32_t>{42, -1, INT32_MAX}));
  EXPECT_EQ(reader.GetDouble(1), -150.0);
  uint8_t bytes[4] = {7, 7, 7, 7};
  EXPECT_EQ(reader.GetBlob(2, bytes, 4), 1);  // odd length: rounded down
  EXPECT_EQ(std::string(bytes, bytes + 2), "\xab\x07");
}

TEST_F(TextAttributeFile, ReaderLongLinesComeInPieces) {
  // The rest of a line past 2047 characters is read as a line of its own
  // (which is why the writer never writes one).
  std::string first = "1,0,\"A\",K,\"" + std::string(2047 - 13, 'x') + "\",";
  ASSERT_EQ(first.size(), 2047u);
  WriteFileBytes(path, first + "5,6,\"C\",\r\n2,0,\"B\",K,\"" + std::string(3000, 'y') + "\r\n");
  TAttributeReader reader(path.c_str());
  ASSERT_EQ(NextId(reader), 1);
  EXPECT_EQ(reader.GetAttribute(0), std::string(2047 - 13, 'x'));
  ASSERT_EQ(NextId(reader), 5);
  EXPECT_EQ(reader.GetPosition(), 2047);
  ASSERT_EQ(NextId(reader), 2);
  ASSERT_EQ(reader.GetAttributeCount(), 1);
  EXPECT_EQ(reader.GetAttribute(0), "");  // the quote ends beyond the piece
  EXPECT_FALSE(reader.ReadNext());        // the rest: a single y... field
}

}  // namespace
}  // namespace orvo
