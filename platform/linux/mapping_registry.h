// Named file mappings: the registry through which processes share a mapping
// by name, and this process's table from name to section
// (mapping_registry.cc explains how).
#ifndef PLATFORM_LINUX_MAPPING_REGISTRY_H_
#define PLATFORM_LINUX_MAPPING_REGISTRY_H_

#include <cstdint>
#include <memory>

#include "platform/linux/file_object.h"
#include "platform/linux/mapping_section.h"

namespace orvo::linux_api {

// What a creator wants when the name is new.
struct FreshRequest {
  std::shared_ptr<FileObject> file;  // null: backed by the paging file
  bool writable;
  uint64_t size;
};

// Creates the named mapping or opens the existing one; *existed tells which.
// Returns the section with one more handle counted on it, or nullptr with the
// last error set (also for a malformed name).
std::shared_ptr<Section> CreateNamedSection(const char* name, const FreshRequest& fresh,
                                            bool* existed);

// Opens the named mapping that a handle here or in another process keeps
// alive. Returns the section with one more handle counted on it, or nullptr
// with the last error set. `name` is neither null nor empty.
std::shared_ptr<Section> OpenNamedSection(const char* name);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_MAPPING_REGISTRY_H_
