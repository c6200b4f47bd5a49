// Field splitting with quotes and backslash escapes.
#include "vector/tokenizer.h"

namespace orvo {

bool TTokenizer::Next(std::string& token) {
  token.clear();
  if (done_) return false;
  while (*p_ == ' ') ++p_;
  if (IsLineEnd(*p_)) {
    done_ = true;
    return false;
  }
  if (*p_ == quote_) {
    ++p_;
    const char* run = p_;  // characters not yet appended
    for (;;) {
      char c = *p_;
      if (IsLineEnd(c)) {
        // Unterminated quote: the token is empty and the line's fields end.
        token.clear();
        done_ = true;
        return true;
      }
      if (c == quote_) {
        token.append(run, p_);
        ++p_;
        break;
      }
      if (c == '\\') {
        token.append(run, p_);
        ++p_;
        // A backslash before the line end escapes nothing.
        if (!IsLineEnd(*p_)) token += *p_++;
        run = p_;
        continue;
      }
      ++p_;
    }
    while (!IsLineEnd(*p_) && *p_ != separator_) ++p_;
    if (*p_ == separator_) ++p_;
    return true;
  }
  const char* start = p_;
  while (!IsLineEnd(*p_) && *p_ != separator_) ++p_;
  token.assign(start, p_);
  if (*p_ == separator_) ++p_;
  return true;
}

}  // namespace orvo
