// GetSystemInfo: the processor and memory layout the library sizes views by.
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <thread>

#include "platform/linux/mapping_section.h"
#include "platform/win32.h"

void GetSystemInfo(LPSYSTEM_INFO system_info) {
  if (system_info == nullptr) return;
  std::memset(system_info, 0, sizeof(*system_info));
#if defined(__x86_64__)
  system_info->wProcessorArchitecture = 9;  // PROCESSOR_ARCHITECTURE_AMD64
  system_info->dwProcessorType = 8664;      // PROCESSOR_AMD_X8664
#elif defined(__i386__)
  system_info->wProcessorArchitecture = 0;  // PROCESSOR_ARCHITECTURE_INTEL
  system_info->dwProcessorType = 586;       // PROCESSOR_INTEL_PENTIUM
#elif defined(__aarch64__)
  system_info->wProcessorArchitecture = 12;  // PROCESSOR_ARCHITECTURE_ARM64
#else
  system_info->wProcessorArchitecture = 0xFFFF;  // PROCESSOR_ARCHITECTURE_UNKNOWN
#endif
  // 4096 on the machines Windows runs on too; views only need the granularity.
  system_info->dwPageSize = static_cast<DWORD>(sysconf(_SC_PAGESIZE));
  system_info->dwAllocationGranularity = static_cast<DWORD>(orvo::linux_api::kGranularity);
  system_info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(uintptr_t{0x10000});
  system_info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(
      sizeof(void*) == 8 ? uintptr_t{0x7FFFFFFEFFFF} : uintptr_t{0x7FFEFFFF});
  unsigned processors = std::thread::hardware_concurrency();
  if (processors == 0) processors = 1;
  system_info->dwNumberOfProcessors = processors;
  unsigned mask_bits = processors < sizeof(DWORD_PTR) * 8 ? processors : sizeof(DWORD_PTR) * 8;
  system_info->dwActiveProcessorMask =
      mask_bits == sizeof(DWORD_PTR) * 8 ? ~DWORD_PTR{0} : (DWORD_PTR{1} << mask_bits) - 1;
  system_info->wProcessorLevel = 6;
}
