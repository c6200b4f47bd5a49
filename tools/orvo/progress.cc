// Progress output shared by the commands.
#include "tools/orvo/progress.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace orvotool {

bool IsTerminal(std::FILE* f) {
#ifdef _WIN32
  return _isatty(_fileno(f)) != 0;
#else
  return isatty(fileno(f)) != 0;
#endif
}

Progress::Progress(std::FILE* out, bool shown, int64_t total)
    : out_(shown ? out : nullptr), total_(total > 0 ? total : 1) {}

void Progress::Advance(int64_t done) {
  if (out_ == nullptr || finished_) return;
  const int before = next_;
  while (next_ <= 100 && done * 100 >= next_ * total_) {
    if (next_ == 0)
      std::fputs("0", out_);
    else
      std::fprintf(out_, "...%d", next_);
    next_ += 10;
  }
  if (next_ != before) std::fflush(out_);
}

void Progress::Done() {
  if (out_ == nullptr || finished_) return;
  Advance(total_);
  std::fputs(" - done.\n", out_);
  std::fflush(out_);
  finished_ = true;
}

void Progress::Abandon() {
  if (out_ == nullptr || finished_) return;
  if (next_ > 0) std::fputc('\n', out_);
  std::fflush(out_);
  finished_ = true;
}

}  // namespace orvotool
