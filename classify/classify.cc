// The classifier's collections as a whole.
#include "classify/classify.h"

namespace orvo {

void TClassify::Clear() {
  features_.Clear();
  attributes_.Clear();
  groups_.Clear();
  graphs_.Clear();
}

void TClassify::MarkAllStale() {
  features_.MarkStale();
  attributes_.MarkStale();
  groups_.MarkStale();
  graphs_.MarkStale();
}

}  // namespace orvo
