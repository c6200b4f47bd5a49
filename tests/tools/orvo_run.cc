// In-process runs of orvo commands with their output captured.
#include "tests/tools/orvo_run.h"

#include <cstdio>
#include <filesystem>

#include "tools/orvo/commands.h"

namespace orvotest {

CapturedOutput::CapturedOutput() : file_(std::fopen(dir_.File("output").c_str(), "w+b")) {}

CapturedOutput::~CapturedOutput() {
  if (file_ != nullptr) std::fclose(file_);
}

std::string CapturedOutput::Text() {
  std::string text;
  if (file_ == nullptr) return text;
  std::fflush(file_);
  std::rewind(file_);
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file_)) > 0) text.append(buffer, got);
  return text;
}

OrvoRun Orvo(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"orvo"};
  for (const auto& a : args) argv.push_back(a.c_str());
  CapturedOutput out, err;
  const int code =
      orvotool::RunOrvo(static_cast<int>(argv.size()), argv.data(), out.file(), err.file());
  return OrvoRun{code, out.Text(), err.Text()};
}

std::string CodeAndErr(const std::vector<std::string>& args) {
  const OrvoRun run = Orvo(args);
  return std::to_string(run.code) + " " + run.err;
}

std::set<std::string> FilesIn(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());
  return names;
}

}  // namespace orvotest
