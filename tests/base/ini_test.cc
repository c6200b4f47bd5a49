// Tests of the INI reader, its memory line source and the error hook.
#include "base/ini.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "base/error_hook.h"
#include "base/errors.h"
#include "base/memory_list.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::TIni;

// Collects the reports of the error hook while alive.
class RecordingHook : public orvo::IErrorNotify {
 public:
  RecordingHook() { orvo::SetErrorNotify(this); }
  ~RecordingHook() override { orvo::SetErrorNotify(nullptr); }
  void Notify(int32_t code, const char* text) override { reports.emplace_back(code, text); }
  std::vector<std::pair<int32_t, std::string>> reports;
};

// Every text is read through both line sources.
enum class Source { kMemory, kFile };

class IniTest : public testing::TestWithParam<Source> {
 protected:
  // Loads text into ini from the source under test.
  bool Load(TIni& ini, const std::string& text) {
    if (GetParam() == Source::kMemory) {
      return ini.LoadMemory(text.data(), static_cast<int32_t>(text.size()));
    }
    std::string path = dir_.File("test.ini");
    orvotest::WriteFileBytes(path, text);
    return ini.LoadFile(path.c_str());
  }
  // The message of the DataException that loading text raises; "" if none.
  std::string LoadError(TIni& ini, const std::string& text) {
    try {
      Load(ini, text);
    } catch (const orvo::DataException& e) {
      return e.Message();
    }
    return "";
  }
  // Longest piece of a line that the source hands to the parser.
  size_t Piece() const { return GetParam() == Source::kMemory ? 2047 : 2046; }

  orvotest::TempDir dir_;
};

TEST_P(IniTest, KeysAndSectionsFoldCaseValuesStayAsRead) {
  TIni ini;
  ASSERT_TRUE(Load(ini, "[Feature.Road]\r\nName1 = Main\r\nQuote=\"a b\"  \r\n"));
  EXPECT_EQ(ini.GetValue("feature.road", "name1", "?"), " Main");
  EXPECT_EQ(ini.GetValue("FEATURE.ROAD", "NAME1", "?"), " Main");
  EXPECT_EQ(ini.GetValue("Feature.Road", "quote", "?"), "\"a b\"  ");
  EXPECT_EQ(ini.GetValue("Feature.Road", "missing", "dflt"), "dflt");
  EXPECT_EQ(ini.GetValue("other", "name1", "dflt"), "dflt");
  ASSERT_EQ(ini.ReadSection("feature.road"), 2);
  EXPECT_EQ(ini.GetSectionKey(0), "NAME1");
  EXPECT_EQ(ini.GetSectionValue(0), " Main");
  EXPECT_EQ(ini.GetSectionKey(1), "QUOTE");
}

TEST_P(IniTest, KeyLineRules) {
  TIni ini;
  ASSERT_TRUE(Load(ini,
                   "k0=before any header\n"
                   "[A]\n"
                   "=x\n"
                   "flag\n"
                   "expr=a=b\n"
                   "  spaced key \t=  v \n"
                   "==lead=v\n"
                   "empty=\n"
                   " ;note\n"
                   "\t;note\n"
                   "   \n"));
  ASSERT_EQ(ini.ReadSection("a"), 7);
  std::vector<std::pair<std::string, std::string>> got;
  for (int i = 0; i < 7; ++i) got.emplace_back(ini.GetSectionKey(i), ini.GetSectionValue(i));
  std::vector<std::pair<std::string, std::string>> want = {
      {";NOTE", ""}, {"EMPTY", ""},      {"EXPR", "a=b"}, {"FLAG", ""},
      {"LEAD", "v"}, {"SPACED KEY", "  v "}, {"X", ""}};
  EXPECT_EQ(got, want);
  // Present with an empty value: the empty value, not the default.
  EXPECT_EQ(ini.GetValue("A", "flag", "dflt"), "");
  // Lines before the first header are dropped without error.
  EXPECT_EQ(ini.GetSectionCount(), 1);
}

TEST_P(IniTest, SyntaxErrorsRaiseDataException) {
  {
    TIni ini;
    EXPECT_EQ(LoadError(ini, "[A]\nk=1\n[B]\nk=2\n[ a ]\nz=3\n"), "Error, section name A already used");
    // Entries parsed before the failing line stay.
    EXPECT_EQ(ini.GetValue("A", "K", ""), "1");
    EXPECT_EQ(ini.GetValue("B", "K", ""), "2");
    EXPECT_EQ(ini.GetValue("A", "Z", "none"), "none");
  }
  {
    TIni ini;
    EXPECT_EQ(LoadError(ini, "[A]\nk=1\nK = 2\n"), "Error, key K already used in section A");
    EXPECT_EQ(ini.GetValue("A", "k", ""), "1");
  }
  {
    TIni ini;
    EXPECT_EQ(LoadError(ini, "[A]\n===\n"), "Error, wrong key format in section A");
  }
  {
    TIni ini;
    EXPECT_EQ(LoadError(ini, "[Sec]\n  =value\n"), "Error, wrong key format in section SEC");
  }
  {
    // Only blanks (32) make a line empty; a tab-only line is a key line.
    TIni ini;
    EXPECT_EQ(LoadError(ini, "[A]\n\t\n"), "Error, wrong key format in section A");
  }
  {
    // Two pairs of empty brackets: the empty name is used twice.
    TIni ini;
    EXPECT_EQ(LoadError(ini, "[]\n[ ]\n"), "Error, section name  already used");
  }
}

TEST_P(IniTest, BrokenHeaderIsReportedAndDropsItsKeys) {
  RecordingHook hook;
  TIni ini;
  ASSERT_TRUE(Load(ini, "[A]\na=1\n  [Broken\nlost=1\n[B] trailing text\nb=2\n"));
  ASSERT_EQ(hook.reports.size(), 1u);
  EXPECT_EQ(hook.reports[0].first, 15);
  EXPECT_EQ(hook.reports[0].second, "  [Broken");
  EXPECT_EQ(ini.GetValue("A", "a", ""), "1");
  EXPECT_EQ(ini.GetValue("B", "b", ""), "2");
  EXPECT_EQ(ini.GetValue("", "lost", "none"), "none");
  EXPECT_EQ(ini.GetValue("A", "lost", "none"), "none");
  EXPECT_EQ(ini.GetSectionCount(), 2);

  // A second broken header repeats the empty name.
  TIni again;
  EXPECT_EQ(LoadError(again, "[x\n[y\n"), "Error, section name  already used");
  EXPECT_EQ(hook.reports.size(), 3u);
}

TEST_P(IniTest, HeaderNamesAreTrimmedAndFoldedAsciiOnly) {
  TIni ini;
  ASSERT_TRUE(Load(ini, "[\t a b \t] x\nk=1\n[stra\xdf" "e\xe4]\nk=2\n"));
  EXPECT_EQ(ini.GetValue("A B", "k", ""), "1");
  ASSERT_EQ(ini.GetSectionCount(), 2);
  EXPECT_EQ(ini.GetSectionName(0), "A B");
  // Bytes above 127 are kept as they are.
  EXPECT_EQ(ini.GetSectionName(1), "STRA\xdf" "E\xe4");
  EXPECT_EQ(ini.GetValue("Stra\xdf" "e\xe4", "K", ""), "2");
  EXPECT_EQ(ini.GetValue("STRA\xdf" "E\xc4", "K", "none"), "none");
}

TEST_P(IniTest, SectionListingAndSelection) {
  TIni ini;
  ASSERT_TRUE(Load(ini, "[A.B]\nz=1\n[Empty]\n[A]\nb=2\na=3\n[C]\nq=4\n"));
  ASSERT_EQ(ini.GetSectionCount(), 3);
  EXPECT_EQ(ini.GetSectionName(0), "A");
  EXPECT_EQ(ini.GetSectionName(1), "A.B");
  EXPECT_EQ(ini.GetSectionName(2), "C");
  EXPECT_EQ(ini.GetSectionName(3), "");
  EXPECT_EQ(ini.GetSectionName(-1), "");

  ASSERT_EQ(ini.ReadSection("a"), 2);
  EXPECT_EQ(ini.GetSectionKey(0), "A");
  EXPECT_EQ(ini.GetSectionValue(0), "3");
  EXPECT_EQ(ini.GetSectionKey(1), "B");
  EXPECT_EQ(ini.GetSectionValue(1), "2");
  EXPECT_EQ(ini.GetSectionKey(2), "");
  EXPECT_EQ(ini.GetSectionValue(-1), "");
  EXPECT_EQ(ini.ReadSection("a.b"), 1);
  EXPECT_EQ(ini.GetSectionKey(0), "Z");
  // An unknown section empties the selection.
  EXPECT_EQ(ini.ReadSection("Empty"), 0);
  EXPECT_EQ(ini.GetSectionKey(0), "");
  EXPECT_EQ(ini.ReadSection("A:B"), 0);

  ASSERT_EQ(ini.ReadSectionInFileOrder("a"), 2);
  EXPECT_EQ(ini.GetSectionKey(0), "B");
  EXPECT_EQ(ini.GetSectionValue(0), "2");
  EXPECT_EQ(ini.GetSectionKey(1), "A");
  EXPECT_EQ(ini.GetSectionValue(1), "3");
  EXPECT_EQ(ini.ReadSectionInFileOrder("none"), 0);
}

TEST_P(IniTest, EveryLineEndReadsTheSame) {
  const std::string lf = "[A]\nk=1\n\n[B]\nx=2\ny= 3 \n";
  std::string crlf, cr, nul, mixed;
  for (char c : lf) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    cr += c == '\n' ? '\r' : c;
    nul += c == '\n' ? '\0' : c;
  }
  const char mixed_bytes[] = "[A]\r\nk=1\n\r[B]\rx=2\0y= 3 ";
  mixed.assign(mixed_bytes, sizeof(mixed_bytes) - 1);
  for (const std::string& text : {lf, crlf, cr, nul, mixed}) {
    TIni ini;
    ASSERT_TRUE(Load(ini, text));
    EXPECT_EQ(ini.GetSectionCount(), 2);
    EXPECT_EQ(ini.GetValue("A", "K", ""), "1");
    EXPECT_EQ(ini.GetValue("B", "X", ""), "2");
    EXPECT_EQ(ini.GetValue("B", "Y", ""), " 3 ");
    EXPECT_EQ(ini.ReadSection("B"), 2);
  }
}

TEST_P(IniTest, LongLinesAreParsedInPieces) {
  const size_t piece = Piece();
  // Exactly one piece: the whole value.
  {
    TIni ini;
    std::string value(piece - 2, 'v');
    ASSERT_TRUE(Load(ini, "[A]\r\nk=" + value + "\r\nn=1\r\n"));
    EXPECT_EQ(ini.GetValue("A", "K", ""), value);
    EXPECT_EQ(ini.ReadSection("A"), 2);
  }
  // One character more: it becomes a key line of its own.
  {
    TIni ini;
    std::string value(piece - 2, 'v');
    ASSERT_TRUE(Load(ini, "[A]\r\nk=" + value + "z\r\n"));
    EXPECT_EQ(ini.GetValue("A", "K", ""), value);
    EXPECT_EQ(ini.GetValue("A", "Z", "none"), "");
    EXPECT_EQ(ini.ReadSection("A"), 2);
  }
  // The remainder of a long line parses by the ordinary rules.
  {
    TIni ini;
    std::string text = "[A]\nk=" + std::string(piece - 2, 'v') + "rest=tail\n";
    ASSERT_TRUE(Load(ini, text));
    EXPECT_EQ(ini.GetValue("A", "REST", ""), "tail");
  }
}

TEST_P(IniTest, EmptyInputLoadsNothing) {
  TIni ini;
  ASSERT_TRUE(Load(ini, ""));
  EXPECT_EQ(ini.GetSectionCount(), 0);
  TIni blank;
  const char bytes[] = "\r\n\n\0\r  \r\n; only a comment\n";
  ASSERT_TRUE(Load(blank, std::string(bytes, sizeof(bytes) - 1)));
  EXPECT_EQ(blank.GetSectionCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Sources, IniTest, testing::Values(Source::kMemory, Source::kFile),
                         [](const testing::TestParamInfo<Source>& info) {
                           return info.param == Source::kMemory ? "Memory" : "File";
                         });

TEST(IniFile, UnreadableFileLoadsNothing) {
  orvotest::TempDir dir;
  TIni ini;
  EXPECT_FALSE(ini.LoadFile(dir.File("missing.ini").c_str()));
  EXPECT_FALSE(ini.LoadFile(nullptr));
  EXPECT_EQ(ini.GetSectionCount(), 0);
#ifndef _WIN32
  TIni directory;
  EXPECT_FALSE(directory.LoadFile(dir.path().c_str()));
  EXPECT_EQ(directory.GetSectionCount(), 0);
#endif
}

TEST(IniFile, ControlZIsAnOrdinaryByte) {
  // Read as bytes on every platform: no end-of-file mark.
  orvotest::TempDir dir;
  orvotest::WriteFileBytes(dir.File("z.ini"), "[A]\r\nk=a\x1a" "b\r\nn=2\r\n");
  TIni ini;
  ASSERT_TRUE(ini.LoadFile(dir.File("z.ini").c_str()));
  EXPECT_EQ(ini.GetValue("A", "K", ""), "a\x1a" "b");
  EXPECT_EQ(ini.GetValue("A", "N", ""), "2");
}

TEST(IniMemory, NullOrNegativeBlockIsEmpty) {
  TIni ini;
  EXPECT_TRUE(ini.LoadMemory(nullptr, 10));
  EXPECT_TRUE(ini.LoadMemory("[A]\nk=1\n", -1));
  EXPECT_EQ(ini.GetSectionCount(), 0);
  // Only size bytes are read.
  TIni part;
  EXPECT_TRUE(part.LoadMemory("[A]\nk=12345", 9));
  EXPECT_EQ(part.GetValue("A", "K", ""), "123");
}

TEST(MemoryList, HandsOutNonEmptyLinesInPieces) {
  const char block[] = "ab\r\n\r\n\0cdefg\rh";
  orvo::TMemoryList lines(block, sizeof(block) - 1);
  char buffer[4];
  ASSERT_TRUE(lines.GetLine(buffer, 3));
  EXPECT_STREQ(buffer, "ab");
  ASSERT_TRUE(lines.GetLine(buffer, 3));
  EXPECT_STREQ(buffer, "cde");
  ASSERT_TRUE(lines.GetLine(buffer, 3));
  EXPECT_STREQ(buffer, "fg");
  ASSERT_TRUE(lines.GetLine(buffer, 3));
  EXPECT_STREQ(buffer, "h");
  EXPECT_FALSE(lines.GetLine(buffer, 3));
  EXPECT_STREQ(buffer, "");
  EXPECT_FALSE(lines.GetLine(buffer, 3));
}

void RecordCallback(int32_t code, const char* text, void* user) {
  static_cast<std::vector<std::pair<int32_t, std::string>>*>(user)->emplace_back(code, text);
}

TEST(ErrorHook, ReportsReachTheHookOnlyWhileSet) {
  orvo::ReportError(15, "dropped");  // no hook: nothing happens
  std::vector<std::pair<int32_t, std::string>> got;
  orvo::SetErrorNotifyCallback(RecordCallback, &got);
  orvo::ReportError(10001, "first");
  orvo::ReportError(7, nullptr);
  TIni ini;
  ini.LoadMemory("[open\n", 6);
  orvo::SetErrorNotifyCallback(nullptr, &got);
  EXPECT_EQ(orvo::GetErrorNotify(), nullptr);
  orvo::ReportError(15, "after clearing");
  std::vector<std::pair<int32_t, std::string>> want = {{10001, "first"}, {7, ""}, {15, "[open"}};
  EXPECT_EQ(got, want);
}

}  // namespace

namespace {

// Random text over the characters that matter to the parser: never a crash
// or a hang, only loads or DataException, and the same outcome from both
// sources when no piece boundary differs.
TEST(IniDamage, RandomTextNeverCrashes) {
  const char alphabet[] = "[]=; \t\r\n\0aZ:.\x1a\xff";
  orvotest::TempDir dir;
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  for (int round = 0; round < 300; ++round) {
    std::string text;
    size_t length = next() % 400;
    for (size_t i = 0; i < length; ++i) text += alphabet[next() % (sizeof(alphabet) - 1)];
    std::string memory_outcome, file_outcome;
    TIni from_memory;
    try {
      from_memory.LoadMemory(text.data(), static_cast<int32_t>(text.size()));
    } catch (const orvo::DataException& e) {
      memory_outcome = e.Message();
    }
    orvotest::WriteFileBytes(dir.File("r.ini"), text);
    TIni from_file;
    try {
      EXPECT_TRUE(from_file.LoadFile(dir.File("r.ini").c_str()));
    } catch (const orvo::DataException& e) {
      file_outcome = e.Message();
    }
    EXPECT_EQ(memory_outcome, file_outcome) << round;
    int32_t sections = from_memory.GetSectionCount();
    EXPECT_EQ(sections, from_file.GetSectionCount());
    for (int32_t i = 0; i < sections; ++i) {
      EXPECT_EQ(from_memory.ReadSection(from_memory.GetSectionName(i)),
                from_file.ReadSection(from_file.GetSectionName(i)));
    }
  }
}

}  // namespace
