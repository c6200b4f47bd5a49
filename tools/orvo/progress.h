// Progress of a long command: "0...10...20...30...40...50...60...70...80...90...100 - done."
#ifndef TOOLS_ORVO_PROGRESS_H_
#define TOOLS_ORVO_PROGRESS_H_

#include <cstdint>
#include <cstdio>

namespace orvotool {

// True when f is a terminal (a console on Windows).
bool IsTerminal(std::FILE* f);

// Prints the tens of per cent reached as the work goes on, to out when shown
// is true, else nothing. The steps always come in order, each once, however
// Advance is called; Done completes the line.
class Progress {
 public:
  Progress(std::FILE* out, bool shown, int64_t total);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  bool Shown() const { return out_ != nullptr; }
  // For work whose size is known only once it has begun.
  void SetTotal(int64_t total) { total_ = total > 0 ? total : 1; }
  // done: units of work finished so far, out of total.
  void Advance(int64_t done);
  // Prints the remaining steps and " - done.\n".
  void Done();
  // Ends a line cut short by a failure, so that the message starts afresh.
  void Abandon();

 private:
  std::FILE* out_;
  int64_t total_;
  int next_ = 0;  // the next per cent value to print
  bool finished_ = false;
};

}  // namespace orvotool

#endif  // TOOLS_ORVO_PROGRESS_H_
