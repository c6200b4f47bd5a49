// Error-notification hook export: lets hosts receive the reports of skipped
// input. Unguarded; it cannot fail.
#include "base/error_hook.h"

#include "orvoapi.h"

extern "C" {

ORVO_API void ORVO_CDECL SetErrorNotifyHook(OrvoErrorNotifyProc proc, void* user) {
  orvo::SetErrorNotifyCallback(proc, user);
}

}  // extern "C"
