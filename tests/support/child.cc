// Child-mode runner of the test program, started through the platform seam.
#include "tests/support/child.h"

#include <cstring>
#include <map>

#include "platform/win32.h"

namespace orvotest {
namespace {

const char kChildSwitch[] = "--orvo-child";

std::map<std::string, ChildMain>& Children() {
  static std::map<std::string, ChildMain> children;
  return children;
}

std::string& SelfPathStorage() {
  static std::string path;
  return path;
}

// Windows command-line quoting: backslashes double only before a quote.
std::string QuoteArg(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t backslashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      out.append(backslashes * 2 + 1, '\\');
    else
      out.append(backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, '\\');
  out += '"';
  return out;
}

}  // namespace

bool RegisterChild(const char* name, ChildMain body) {
  Children()[name] = body;
  return true;
}

const std::string& SelfPath() { return SelfPathStorage(); }

bool MaybeRunChild(int argc, char** argv, int* exit_code) {
  SelfPathStorage() = argv[0];
  if (argc < 3 || std::strcmp(argv[1], kChildSwitch) != 0) return false;
  auto it = Children().find(argv[2]);
  if (it == Children().end()) {
    *exit_code = 127;
    return true;
  }
  std::vector<std::string> args(argv + 3, argv + argc);
  *exit_code = it->second(args);
  return true;
}

std::string ChildCommandLine(const std::string& name, const std::vector<std::string>& args) {
  std::string line = QuoteArg(SelfPath()) + " " + kChildSwitch + " " + QuoteArg(name);
  for (const std::string& a : args) line += " " + QuoteArg(a);
  return line;
}

bool StartChild(const std::string& name, const std::vector<std::string>& args,
                PROCESS_INFORMATION* process, const char* directory) {
  std::string line = ChildCommandLine(name, args);  // CreateProcessA may write into it
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  return CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, directory,
                        &startup, process) != FALSE;
}

int RunChild(const std::string& name, const std::vector<std::string>& args) {
  PROCESS_INFORMATION process{};
  if (!StartChild(name, args, &process)) return -1;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (!GetExitCodeProcess(process.hProcess, &code)) code = static_cast<DWORD>(-1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace orvotest
