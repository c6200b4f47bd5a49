// In-process runs of orvo commands with their output captured.
#include "tests/tools/orvo_run.h"

#include <cstdio>

#include "tools/orvo/commands.h"

namespace orvotest {

OrvoRun Orvo(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"orvo"};
  for (const auto& a : args) argv.push_back(a.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  OrvoRun run{orvotool::RunOrvo(static_cast<int>(argv.size()), argv.data(), out, err), "", ""};
  for (auto [f, text] : {std::pair{out, &run.out}, std::pair{err, &run.err}}) {
    std::rewind(f);
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text->append(buffer, got);
    std::fclose(f);
  }
  return run;
}

}  // namespace orvotest
