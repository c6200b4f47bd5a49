// The INI reader from both line sources (the error hook: through the CS exports).
#include "base/ini.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/error_hook.h"
#include "base/errors.h"
#include "tests/support/raised.h"
#include "tests/support/temp_dir.h"

namespace {

using orvo::TIni;

using orvotest::RecordingHook;
using Strings = std::vector<std::string>;

// The first n entries of the selection, "KEY=value" each.
Strings Selected(const TIni& ini, int32_t n) {
  Strings entries;
  for (int32_t i = 0; i < n; ++i)
    entries.push_back(ini.GetSectionKey(i) + "=" + ini.GetSectionValue(i));
  return entries;
}

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

TEST_P(IniTest, KeyLineRules) {
  TIni ini;
  ASSERT_TRUE(Load(ini,
                   "k0=before any header\n"
                   "[Feature.Road]\r\n"
                   "Name1 = Main\n"
                   "Quote=\"a b\"  \n"
                   "=x\n"
                   "flag\n"
                   "expr=a=b\n"
                   "  spaced key \t=  v \n"
                   "==lead=v\n"
                   " ;note\n"
                   "\t;note\n"
                   "   \n"));
  ASSERT_EQ(ini.ReadSection("feature.road"), 8);
  EXPECT_EQ(Selected(ini, 8), (Strings{";NOTE=", "EXPR=a=b", "FLAG=", "LEAD=v", "NAME1= Main",
                                       "QUOTE=\"a b\"  ", "SPACED KEY=  v ", "X="}));
  EXPECT_EQ(ini.GetValue("FEATURE.ROAD", "name1", "?"), " Main");
  EXPECT_EQ(ini.GetValue("Feature.Road", "missing", "dflt"), "dflt");
  EXPECT_EQ(ini.GetValue("other", "name1", "dflt"), "dflt");
  // Present with an empty value: the empty value, not the default.
  EXPECT_EQ(ini.GetValue("feature.road", "flag", "dflt"), "");
  // Lines before the first header are dropped without error.
  EXPECT_EQ(ini.GetSectionCount(), 1);
}

TEST_P(IniTest, SyntaxErrorsRaiseDataException) {
  const std::pair<const char*, const char*> cases[] = {
      {"[A]\nk=1\n[B]\nk=2\n[ a ]\nz=3\n", "Error, section name A already used"},
      {"[A]\nk=1\nK = 2\n", "Error, key K already used in section A"},
      // A key written with a colon prefix clashes with the one [A:B] lends.
      {"[A:B]\nk=1\n[A]\nb:K=2\n", "Error, key B:K already used in section A"},
      {"[A]\n===\n", "Error, wrong key format in section A"},
      {"[Sec]\n  =value\n", "Error, wrong key format in section SEC"},
      // Only blanks (32) make a line empty; a tab-only line is a key line.
      {"[A]\n\t\n", "Error, wrong key format in section A"},
      // Two pairs of empty brackets: the empty name is used twice.
      {"[]\n[ ]\n", "Error, section name  already used"}};
  for (const auto& [text, message] : cases) {
    TIni ini;
    EXPECT_EQ(LoadError(ini, text), message) << text;
    // Entries parsed before the failing line stay.
    EXPECT_EQ(ini.GetValue("A", "K", "1"), "1") << text;
    EXPECT_EQ(ini.GetValue("A", "Z", "none"), "none");
  }
}

TEST_P(IniTest, BrokenHeaderIsReportedAndDropsItsKeys) {
  RecordingHook hook;
  TIni ini;
  ASSERT_TRUE(Load(ini, "[A]\na=1\n  [Broken\nlost=1\n[B] trailing text\nb=2\n"));
  EXPECT_EQ(hook.reports, (decltype(hook.reports){{15, "  [Broken"}}));
  EXPECT_EQ(ini.GetValue("B", "b", ""), "2");
  EXPECT_EQ(ini.GetValue("", "lost", "none"), "none");
  EXPECT_EQ(ini.GetValue("A", "lost", "none"), "none");
  EXPECT_EQ(ini.GetSectionCount(), 2);
  // A second broken header repeats the empty name.
  TIni again;
  EXPECT_EQ(LoadError(again, "[x\n[y\n"), "Error, section name  already used");
  EXPECT_EQ(hook.reports.size(), 3u);
}

TEST_P(IniTest, SectionNamesAreTrimmedFoldedAsciiOnlyAndListed) {
  TIni ini;
  ASSERT_TRUE(Load(ini, "[\t a b \t] x\nk=1\n[s\xe4]\nk=2\n[Empty]\n[A]\nb=2\na=3\n"));
  ASSERT_EQ(ini.GetSectionCount(), 3);
  Strings names;
  for (int32_t i = -1; i <= 3; ++i) names.push_back(ini.GetSectionName(i));
  // Bytes above 127 are kept as they are.
  EXPECT_EQ(names, (Strings{"", "A", "A B", "S\xe4", ""}));
  EXPECT_EQ(ini.GetValue("s\xe4", "K", ""), "2");
  EXPECT_EQ(ini.GetValue("S\xc4", "K", "none"), "none");
  ASSERT_EQ(ini.ReadSection("a"), 2);
  EXPECT_EQ(Selected(ini, 3), (Strings{"A=3", "B=2", "="}));
  ASSERT_EQ(ini.ReadSectionInFileOrder("a"), 2);
  EXPECT_EQ(Selected(ini, 2), (Strings{"B=2", "A=3"}));
  // An unknown section empties the selection.
  EXPECT_EQ(ini.ReadSection("Empty"), 0);
  EXPECT_EQ(ini.GetSectionKey(0), "");
}

TEST_P(IniTest, HeadersWithAColonLendTheirKeysAPrefixInAnyOrder) {
  TIni ini;
  ASSERT_TRUE(Load(ini, "[A:B]\nk=1\n[A]\nj=2\n[A:C]\nk=3\n"));
  EXPECT_EQ(ini.GetValue("A", "C:K", ""), "3");
  ASSERT_EQ(ini.ReadSectionInFileOrder("A"), 3);
  EXPECT_EQ(Selected(ini, 3), (Strings{"B:K=1", "J=2", "C:K=3"}));
  // Only the keys that stood under [A] itself.
  ASSERT_EQ(ini.ReadOwnKeysInFileOrder("a"), 1);
  EXPECT_EQ(Selected(ini, 2), (Strings{"J=2", "="}));
  TIni lent_only;
  ASSERT_TRUE(Load(lent_only, "[A:B]\nk=1\n"));
  EXPECT_EQ(lent_only.ReadOwnKeysInFileOrder("A"), 0);
}

TEST_P(IniTest, RepeatedKeysAreFoundInLargeSections) {
  std::string text = "[Big]\n";
  for (int i = 0; i < 40; ++i) text += "k" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  TIni ini;
  ASSERT_TRUE(Load(ini, text));
  ASSERT_EQ(ini.ReadSectionInFileOrder("BIG"), 40);
  EXPECT_EQ(ini.GetSectionValue(39), "39");
  for (int repeated : {0, 31, 39}) {
    TIni again;
    std::string key = "K" + std::to_string(repeated);
    EXPECT_EQ(LoadError(again, text + key + "=x\n"),
              "Error, key " + key + " already used in section BIG");
  }
}

TEST_P(IniTest, EveryLineEndReadsTheSame) {
  const std::string lf = "[A]\nk=1\n\n[B]\nx=2\ny= 3 \n";
  std::string crlf, cr, nul;
  for (char c : lf) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    cr += c == '\n' ? '\r' : c;
    nul += c == '\n' ? '\0' : c;
  }
  const char mixed[] = "[A]\r\nk=1\n\r[B]\rx=2\0y= 3 ";
  for (const std::string& text : {lf, crlf, cr, nul, std::string(mixed, sizeof(mixed) - 1)}) {
    TIni ini;
    ASSERT_TRUE(Load(ini, text));
    EXPECT_EQ(ini.GetSectionCount(), 2);
    EXPECT_EQ(ini.GetValue("A", "K", ""), "1");
    EXPECT_EQ(ini.GetValue("B", "Y", ""), " 3 ");
    EXPECT_EQ(ini.ReadSection("B"), 2);
  }
  // Nothing but line ends, blanks and a comment loads no section.
  const char empty[] = "\r\n\n\0\r  \r\n; only a comment\n";
  TIni ini;
  ASSERT_TRUE(Load(ini, std::string(empty, sizeof(empty) - 1)));
  EXPECT_EQ(ini.GetSectionCount(), 0);
}

TEST_P(IniTest, LongLinesAreParsedInPieces) {
  const std::string value(Piece() - 2, 'v');  // "k=" + value is one whole piece
  TIni whole;
  ASSERT_TRUE(Load(whole, "[A]\r\nk=" + value + "\r\nn=1\r\n"));
  EXPECT_EQ(whole.GetValue("A", "K", ""), value);
  EXPECT_EQ(whole.ReadSection("A"), 2);
  // One character more becomes a key line of its own; a longer remainder
  // parses by the ordinary rules.
  TIni split;
  ASSERT_TRUE(Load(split, "[A]\r\nk=" + value + "z\r\nm=" + value + "rest=tail\n"));
  EXPECT_EQ(split.GetValue("A", "K", ""), value);
  EXPECT_EQ(split.GetValue("A", "Z", "none"), "");
  EXPECT_EQ(split.GetValue("A", "REST", ""), "tail");
}

INSTANTIATE_TEST_SUITE_P(Sources, IniTest, testing::Values(Source::kMemory, Source::kFile),
                         [](const testing::TestParamInfo<Source>& info) {
                           return info.param == Source::kMemory ? "Memory" : "File";
                         });

TEST(IniSources, UnreadableFilesNullMemoryAndOnlySizeBytes) {
  orvotest::TempDir dir;
  TIni ini;
  EXPECT_FALSE(ini.LoadFile(dir.File("missing.ini").c_str()));
  EXPECT_FALSE(ini.LoadFile(nullptr));
#ifndef _WIN32
  EXPECT_FALSE(ini.LoadFile(dir.path().c_str()));
#endif
  EXPECT_EQ(ini.GetSectionCount(), 0);
  // Read as bytes on every platform: no end-of-file mark.
  const std::string with_eof = std::string("a\x1a") + "b";
  orvotest::WriteFileBytes(dir.File("z.ini"), "[A]\r\nk=" + with_eof + "\r\nn=2\r\n");
  ASSERT_TRUE(ini.LoadFile(dir.File("z.ini").c_str()));
  EXPECT_EQ(ini.GetValue("A", "K", ""), with_eof);
  EXPECT_EQ(ini.GetValue("A", "N", ""), "2");
  // From memory only size bytes are read.
  TIni memory;
  EXPECT_TRUE(memory.LoadMemory(nullptr, 10));
  EXPECT_TRUE(memory.LoadMemory("[A]\nk=1\n", -1));
  EXPECT_EQ(memory.GetSectionCount(), 0);
  EXPECT_TRUE(memory.LoadMemory("[A]\nk=12345", 9));
  EXPECT_EQ(memory.GetValue("A", "K", ""), "123");
}

}  // namespace
