// The platform layer's tables (handles, GDI objects, views, mapping names,
// fonts) live as long as the library: they are freed together when it is
// unloaded, by dlclose or at the end of the process, when nothing of the
// library runs any more. Host static destructors may still close handles
// before then, and a host that loads and unloads the library leaks nothing.
#ifndef PLATFORM_LINUX_UNLOAD_H_
#define PLATFORM_LINUX_UNLOAD_H_

#include <functional>

namespace orvo::linux_api {

// Runs free_object when the library is unloaded; the last registered runs
// first.
void AtUnload(std::function<void()> free_object);

// object, deleted when the library is unloaded.
template <class T>
T* KeptUntilUnload(T* object) {
  AtUnload([object] { delete object; });
  return object;
}

}  // namespace orvo::linux_api

#endif  // PLATFORM_LINUX_UNLOAD_H_
