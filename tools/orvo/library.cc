// Run-time loading of orvoapi through the platform seam.
#include "tools/orvo/library.h"

#include <cstdlib>
#include <filesystem>

#include "platform/win32.h"

namespace orvotool {

HostLibrary::~HostLibrary() {
  if (module_ != nullptr) FreeLibrary(static_cast<HMODULE>(module_));
}

bool HostLibrary::Open(const std::string& path) {
  path_ = path;
  module_ = LoadLibraryA(path.c_str());
  if (module_ == nullptr) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

void* HostLibrary::Resolve(const char* name) const {
  FARPROC proc = GetProcAddress(static_cast<HMODULE>(module_), name);
  if (proc == nullptr) throw std::runtime_error(std::string("missing export ") + name);
  return reinterpret_cast<void*>(proc);
}

std::string DefaultLibraryPath(const std::string& program_path) {
  if (const char* from_env = std::getenv("ORVO_LIBRARY"); from_env && *from_env) return from_env;
  size_t slash = program_path.find_last_of("/\\");
  std::string dir = slash == std::string::npos ? std::string(".") : program_path.substr(0, slash);
#ifdef _WIN32
  return dir + "\\orvoapi.dll";
#else
  // An installed orvo has the library in ../lib rather than beside it.
  const std::string beside = dir + "/liborvoapi.so";
  const std::string installed = dir + "/../lib/liborvoapi.so";
  if (!std::filesystem::exists(beside) && std::filesystem::exists(installed)) return installed;
  return beside;
#endif
}

}  // namespace orvotool
