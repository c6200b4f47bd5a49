// Argument parsing and failure reporting shared by the subcommands.
#include "tools/orvo/command.h"

#include <charconv>
#include <cstdint>
#include <exception>
#include <system_error>

#include "tools/orvo/progress.h"

namespace orvotool {

std::string Args::Value(const std::string& name, const std::string& fallback) const {
  auto it = options.find(name);
  return it == options.end() ? fallback : it->second;
}

namespace {

bool LooksNumeric(const std::string& arg) {
  return arg.size() > 1 && arg[0] == '-' && ((arg[1] >= '0' && arg[1] <= '9') || arg[1] == '.');
}

}  // namespace

Args ParseArgs(const Command& command, int argc, const char* const* args) {
  Args parsed;
  bool options_done = false;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = args[i];
    if (options_done || arg.empty() || arg[0] != '-' || arg == "-" || LooksNumeric(arg)) {
      parsed.operands.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_done = true;
    } else if (arg == "--help" || arg == "-h") {
      parsed.help = true;
    } else if (arg == "--progress") {
      parsed.progress = true;
    } else {
      std::string name = arg, value;
      bool has_inline_value = false;
      if (size_t eq = arg.find('='); eq != std::string::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
        has_inline_value = true;
      }
      const OptionSpec* option = nullptr;
      for (const OptionSpec& o : command.options)
        if (name == o.name) option = &o;
      if (option == nullptr) throw UsageError{"unknown option " + name};
      if (option->takes_value && !has_inline_value) {
        if (i + option->value_count >= argc)
          throw UsageError{"option " + name +
                           (option->value_count == 1
                                ? std::string(" needs a value")
                                : " needs " + std::to_string(option->value_count) + " values")};
        value = args[++i];
        for (int k = 1; k < option->value_count; ++k) value += std::string(" ") + args[++i];
      } else if (!option->takes_value && has_inline_value) {
        throw UsageError{"option " + name + " takes no value"};
      }
      parsed.options[name] = value;
    }
  }
  return parsed;
}

int RunCommand(const Command& command, int argc, const char* const* args, const CommandIo& io) {
  if (command.run_raw != nullptr) return command.run_raw(argc, args, io.out, io.err);
  try {
    const Args parsed = ParseArgs(command, argc, args);
    if (parsed.help) {
      std::fputs(command.usage, io.out);
      return 0;
    }
    const int code = command.run(parsed, io);
    std::fflush(io.out);
    return code;
  } catch (const UsageError& e) {
    std::fflush(io.out);
    std::fprintf(io.err, "orvo %s: %s\n%s", command.name, e.message.c_str(), command.usage);
    return 2;
  } catch (const InputError& e) {
    std::fflush(io.out);
    std::fprintf(io.err, "orvo %s: %s: %s\n", command.name, e.file.c_str(), e.problem.c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fflush(io.out);
    std::fprintf(io.err, "orvo %s: %s\n", command.name, e.what());
    return 1;
  }
}

bool WantsProgress(const Args& args, const CommandIo& io) {
  return args.progress || IsTerminal(io.out);
}

void ExpectOperands(const Args& args, int min, int max) {
  const int n = static_cast<int>(args.operands.size());
  if (n < min) throw UsageError{n == 0 ? "missing operand" : "too few operands"};
  if (max >= 0 && n > max) throw UsageError{"too many operands"};
}

double ParseNumber(const std::string& text, const char* what) {
  double value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  if (begin != end && *begin == '+') ++begin;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || begin == end)
    throw UsageError{std::string(what) + " '" + text + "' is no number"};
  return value;
}

int32_t ParseInt(const std::string& text, const char* what) {
  int32_t value = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || begin == end)
    throw UsageError{std::string(what) + " '" + text + "' is no 32-bit integer"};
  return value;
}

}  // namespace orvotool
