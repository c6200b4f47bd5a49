// The orvo frame: overview, --help of every command, exit codes and messages
// for bad usage, option parsing and the progress line.
#include "tools/orvo/command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/tools/orvo_run.h"
#include "tools/orvo/progress.h"

namespace orvotest {
namespace {

TEST(OrvoFrame, OverviewHelpOfEveryCommandAndUnknownCommands) {
  OrvoRun none = Orvo({});
  EXPECT_EQ(none.code, 2);
  EXPECT_EQ(none.out, "");
  EXPECT_EQ(none.err.rfind("usage: orvo COMMAND", 0), 0u) << none.err;
  OrvoRun help = Orvo({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const char* name :
       {"info", "dump", "convert", "check", "dem", "pixel", "import-hgt", "previews", "demo"}) {
    EXPECT_NE(help.out.find(std::string("\n  ") + name + " "), std::string::npos) << name;
    OrvoRun run = Orvo({name, "--help"});
    EXPECT_EQ(run.code, 0) << name;
    EXPECT_EQ(run.err, "") << name;
    EXPECT_EQ(run.out.rfind(std::string("usage: orvo ") + name, 0), 0u) << run.out;
  }
  EXPECT_EQ(CodeAndErr({"frobnicate"}).rfind("2 orvo: unknown command frobnicate\n", 0), 0u);
}

TEST(OrvoFrame, BadUsageIsExitTwoWithOneReasonThenUsage) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"info", "--fast", "x"}, "2 orvo info: unknown option --fast\nusage: orvo info"},
      {{"convert", "a.spatial"}, "2 orvo convert: too few operands\n"},
      {{"dump", "a.spatial", "--ids"}, "2 orvo dump: option --ids needs a value\n"},
      {{"dem", "x.raster", "1", "north"}, "2 orvo dem: Y 'north' is no number\n"},
      {{"dem", "x.raster", "1", "2", "3"}, "2 "},
      {{"convert", "a.txt", "b.geojson"}, "2 "}};
  for (const auto& [args, start] : cases) {
    const std::string run = CodeAndErr(args);
    EXPECT_EQ(run.rfind(start, 0), 0u) << run;
  }
}

TEST(OrvoFrame, ParsesOptionsAnywhereNegativeNumbersDoubleDashAndSeveralValues) {
  const orvotool::Command command{
      "t", "", "usage\n", {{"--ids", true}, {"--json", false}}, nullptr};
  const char* argv[] = {"-1.5", "--json", "a", "--ids=3-4", "--progress", "--", "--json"};
  const orvotool::Args args = orvotool::ParseArgs(command, 7, argv);
  EXPECT_EQ(args.operands, (std::vector<std::string>{"-1.5", "a", "--json"}));
  EXPECT_TRUE(args.Has("--json"));
  EXPECT_EQ(args.Value("--ids"), "3-4");
  EXPECT_TRUE(args.progress);
  EXPECT_EQ(orvotool::ParseNumber("-1.5e2", "X"), -150.0);  // under the test's comma locale too
  EXPECT_THROW(orvotool::ParseNumber("1,5", "X"), orvotool::UsageError);
  EXPECT_THROW(orvotool::ParseInt("3000000000", "X"), orvotool::UsageError);
  // An option of several values takes them all, negative ones too.
  const orvotool::Command windowed{"t", "", "usage\n", {{"--window", true, 4}}, nullptr};
  const char* values[] = {"a", "--window", "-1", "2", "--x", "4", "b"};
  const orvotool::Args window = orvotool::ParseArgs(windowed, 7, values);
  EXPECT_EQ(window.operands, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(window.Value("--window"), "-1 2 --x 4");
  try {
    orvotool::ParseArgs(windowed, 4, values);
    ADD_FAILURE() << "three values taken for four";
  } catch (const orvotool::UsageError& e) {
    EXPECT_EQ(e.message, "option --window needs 4 values");
  }
}

TEST(OrvoFrame, ProgressPrintsEveryStepOnceInOrder) {
  CapturedOutput output;
  std::FILE* f = output.file();
  {
    orvotool::Progress p(f, true, 7);
    for (int64_t i : {0, 3, 1, 7, 7}) p.Advance(i);
    p.Done();
    p.Done();
  }
  orvotool::Progress hidden(f, false, 10);
  hidden.Advance(10);
  hidden.Done();
  EXPECT_EQ(output.Text(), "0...10...20...30...40...50...60...70...80...90...100 - done.\n");
}

}  // namespace
}  // namespace orvotest
