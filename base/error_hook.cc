// The process-wide error-notification hook.
#include "base/error_hook.h"

namespace orvo {

namespace {

// Adapts a C callback and its user pointer to IErrorNotify.
class TCallbackNotify : public IErrorNotify {
 public:
  void Set(ErrorNotifyProc proc, void* user) {
    proc_ = proc;
    user_ = user;
  }
  void Notify(int32_t code, const char* text) override {
    if (proc_ != nullptr) proc_(code, text, user_);
  }

 private:
  ErrorNotifyProc proc_ = nullptr;
  void* user_ = nullptr;
};

IErrorNotify* g_hook = nullptr;

TCallbackNotify& CallbackNotify() {
  static TCallbackNotify notify;
  return notify;
}

}  // namespace

void SetErrorNotify(IErrorNotify* hook) { g_hook = hook; }

IErrorNotify* GetErrorNotify() { return g_hook; }

void SetErrorNotifyCallback(ErrorNotifyProc proc, void* user) {
  if (proc == nullptr) {
    g_hook = nullptr;
    CallbackNotify().Set(nullptr, nullptr);
    return;
  }
  CallbackNotify().Set(proc, user);
  g_hook = &CallbackNotify();
}

void ReportError(int32_t code, const char* text) {
  IErrorNotify* hook = g_hook;
  if (hook != nullptr) hook->Notify(code, text != nullptr ? text : "");
}

}  // namespace orvo
