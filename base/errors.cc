// Shared messages and the throw helper.
#include "base/errors.h"

namespace orvo {

const char kCantOpenFile[] = "can't open file";

void Raise(const char* message) { throw message; }

}  // namespace orvo
