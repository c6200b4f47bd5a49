// Modules: LoadLibraryA / GetProcAddress / FreeLibrary over the dynamic
// loader. Names follow the loader's rules (a name with a '/' is a path, a
// bare name is searched for in the library path); no ".dll" is appended.
// Module handles are the loader's; they are counted here so that a handle
// this process never loaded is refused instead of reaching dlclose().
#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/linux/last_error.h"
#include "platform/linux/unload.h"
#include "platform/win32.h"

namespace {

struct Modules {
  std::mutex mutex;
  std::unordered_map<void*, int> loads;  // dlopen handle -> LoadLibraryA count
};

Modules& TheModules() {
  static Modules* modules = orvo::linux_api::KeptUntilUnload(new Modules);
  return *modules;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR file_name) {
  if (file_name == nullptr || file_name[0] == '\0') {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  std::string name = orvo::linux_api::NativePath(file_name);
  void* module = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    // A file that is there but will not load is not a module at all.
    struct stat st;
    bool present =
        name.find('/') != std::string::npos && stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    SetLastError(present ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  Modules& modules = TheModules();
  std::lock_guard<std::mutex> lock(modules.mutex);
  ++modules.loads[module];
  return module;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR proc_name) {
  Modules& modules = TheModules();
  {
    std::lock_guard<std::mutex> lock(modules.mutex);
    if (modules.loads.find(module) == modules.loads.end()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return nullptr;
    }
  }
  // Values below 64 Ki are export ordinals, which shared objects do not have.
  if (reinterpret_cast<uintptr_t>(proc_name) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* symbol = dlsym(module, proc_name);
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  Modules& modules = TheModules();
  {
    std::lock_guard<std::mutex> lock(modules.mutex);
    auto it = modules.loads.find(module);
    if (it == modules.loads.end()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return FALSE;
    }
    if (--it->second == 0) modules.loads.erase(it);
  }
  dlclose(module);
  return TRUE;
}
