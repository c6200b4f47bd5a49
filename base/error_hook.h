// The error-notification hook: where the library reports input that it skips
// (a broken INI header, an unusable classifier entry). There is no log; with
// no hook set, reports are dropped.
#ifndef BASE_ERROR_HOOK_H_
#define BASE_ERROR_HOOK_H_

#include <cstdint>

namespace orvo {

// Codes of the reports.
inline constexpr int32_t kIniBadHeaderCode = 15;  // section header without ']'

// Receiver of reports. Notify must not throw.
class IErrorNotify {
 public:
  virtual ~IErrorNotify() = default;
  virtual void Notify(int32_t code, const char* text) = 0;
};

// Callback of C hosts: the code, the text (valid during the call only) and the
// user pointer given when it was set.
using ErrorNotifyProc = void (*)(int32_t code, const char* text, void* user);

// Sets the process-wide hook (null: none); the object must outlive its use.
// Not synchronised: set it while no other thread is inside the library.
void SetErrorNotify(IErrorNotify* hook);
IErrorNotify* GetErrorNotify();

// Sets the hook to call proc with user, or clears it when proc is null.
void SetErrorNotifyCallback(ErrorNotifyProc proc, void* user);

// Passes code and text (null is passed as "") to the hook; dropped when no
// hook is set.
void ReportError(int32_t code, const char* text);

}  // namespace orvo

#endif  // BASE_ERROR_HOOK_H_
