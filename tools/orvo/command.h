// The frame every orvo subcommand runs in: its arguments, its output streams
// and the two ways it fails (bad usage, exit 2; a file it cannot use, exit 1).
#ifndef TOOLS_ORVO_COMMAND_H_
#define TOOLS_ORVO_COMMAND_H_

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace orvotool {

// Bad usage: the command prints "orvo NAME: message" and its usage to the
// error stream and exits with 2.
struct UsageError {
  std::string message;
};

// A file that cannot be used: the command prints the one line
// "orvo NAME: FILE: problem" to the error stream and exits with 1.
struct InputError {
  std::string file;
  std::string problem;
};

// An option a command accepts: "--json" (a flag), "--ids" with a value, or
// "--window" with several (kept joined by single spaces).
struct OptionSpec {
  const char* name;
  bool takes_value;
  int value_count = 1;  // the arguments that follow a value-taking option
};

// The parsed command line of one command. Options may stand anywhere; "--"
// ends them; an argument that starts with '-' and then a digit or '.' is an
// operand (a negative number).
struct Args {
  std::vector<std::string> operands;
  std::map<std::string, std::string> options;  // name -> value ("" for flags)
  bool help = false;
  bool progress = false;  // --progress, which every command accepts

  bool Has(const std::string& name) const { return options.count(name) != 0; }
  // The value of an option, or fallback when it was not given.
  std::string Value(const std::string& name, const std::string& fallback = "") const;
};

// Where a command writes; out for results and progress, err for messages.
struct CommandIo {
  std::FILE* out;
  std::FILE* err;
  std::string program;  // argv[0], to find the library beside the program
};

struct Command {
  const char* name;
  const char* summary;  // one line for `orvo --help`
  const char* usage;    // the full text of `orvo NAME --help`, ending in '\n'
  std::vector<OptionSpec> options;
  // The command proper; throws UsageError or InputError, returns 0 or 1.
  int (*run)(const Args& args, const CommandIo& io);
  // A command that parses its own arguments (args after the name) instead.
  int (*run_raw)(int argc, const char* const* args, std::FILE* out, std::FILE* err) = nullptr;
};

// Parses args (after the command name) against the command's options;
// throws UsageError for an unknown option or a missing value.
Args ParseArgs(const Command& command, int argc, const char* const* args);

// Parses and runs one command, turning its failures into messages and exit
// codes: 0 done (or --help), 1 bad input, 2 bad usage.
int RunCommand(const Command& command, int argc, const char* const* args, const CommandIo& io);

// True when progress is to be shown: --progress, or out is a terminal.
bool WantsProgress(const Args& args, const CommandIo& io);

// Operand count check: throws UsageError unless min <= count <= max
// (max < 0: no upper limit).
void ExpectOperands(const Args& args, int min, int max);

// The numbers on a command line, read the same way under every locale;
// throw UsageError naming what when text is no number.
double ParseNumber(const std::string& text, const char* what);
int32_t ParseInt(const std::string& text, const char* what);

}  // namespace orvotool

#endif  // TOOLS_ORVO_COMMAND_H_
