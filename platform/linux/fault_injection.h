// Test-only failures at the platform seam: the n-th file write, size change,
// mapping or view from now on fails as a full disk or an exhausted address
// space would make it fail. The switch is not exported from the library;
// tests reach it by linking the library statically.
#ifndef PLATFORM_LINUX_FAULT_INJECTION_H_
#define PLATFORM_LINUX_FAULT_INJECTION_H_

#include <cstdint>

namespace orvo::linux_api {

enum class FaultKind {
  kWrite,    // WriteFile: nothing written, ERROR_DISK_FULL
  kResize,   // SetEndOfFile: size unchanged, ERROR_DISK_FULL
  kMapping,  // CreateFileMappingA: no mapping, ERROR_DISK_FULL
  kView,     // MapViewOfFile: no view, ERROR_NOT_ENOUGH_MEMORY
};

// Counts the calls of kind from zero and makes call number nth (1 is the
// next) fail; 0 counts without failing. Every call after the failing one
// succeeds again.
void ArmFault(FaultKind kind, int64_t nth);
// Calls of kind since it was armed.
int64_t FaultCalls(FaultKind kind);
// Stops counting and failing every kind.
void DisarmFaults();

// For the seam's functions: counts a call of kind; true (with the last error
// set) when this call is to fail.
bool InjectFault(FaultKind kind);

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_FAULT_INJECTION_H_
