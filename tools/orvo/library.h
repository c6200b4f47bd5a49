// Loads orvoapi at run time and resolves its exports, as a host program does.
#ifndef TOOLS_ORVO_LIBRARY_H_
#define TOOLS_ORVO_LIBRARY_H_

#include <stdexcept>
#include <string>

namespace orvotool {

class HostLibrary {
 public:
  HostLibrary() = default;
  ~HostLibrary();
  HostLibrary(const HostLibrary&) = delete;
  HostLibrary& operator=(const HostLibrary&) = delete;

  // Loads the library from path; false (with Error() set) when it cannot.
  bool Open(const std::string& path);
  const std::string& Path() const { return path_; }
  const std::string& Error() const { return error_; }

  // The export of that name as a function pointer of type F; throws
  // std::runtime_error when the library lacks it.
  template <class F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(Resolve(name));
  }

 private:
  void* Resolve(const char* name) const;

  void* module_ = nullptr;
  std::string path_;
  std::string error_;
};

// The library file that belongs beside the program at program_path, or the
// ORVO_LIBRARY environment variable when it is set.
std::string DefaultLibraryPath(const std::string& program_path);

}  // namespace orvotool

#endif  // TOOLS_ORVO_LIBRARY_H_
