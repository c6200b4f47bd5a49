// Splits a line into fields: separator-ended fields, optionally quoted with a
// backslash escape. Used by the text attribute files and the classifier file.
#ifndef VECTOR_TOKENIZER_H_
#define VECTOR_TOKENIZER_H_

#include <string>

namespace orvo {

// Rules for one token, from the current point of the line:
//  1. Spaces (only ' ') are skipped; a line end (CR, LF or NUL) there means no
//     further token.
//  2. A quoted token runs to the next unescaped quote; a backslash takes the
//     next character literally. A line that ends before the closing quote gives
//     an empty token and ends the tokens. After the closing quote everything up
//     to and including the next separator is skipped.
//  3. An unquoted token runs to the separator (consumed) or the line end (not
//     consumed); trailing spaces are kept.
class TTokenizer {
 public:
  TTokenizer(char separator, char quote) : separator_(separator), quote_(quote) {}

  // Starts on a NUL-terminated line; the line must outlive the tokenizing.
  void Reset(const char* line) {
    p_ = line;
    done_ = (line == nullptr);
  }
  // Takes the next token into token; false when there is none.
  bool Next(std::string& token);

 private:
  static bool IsLineEnd(char c) { return c == '\0' || c == '\r' || c == '\n'; }

  char separator_;
  char quote_;
  const char* p_ = nullptr;
  bool done_ = true;
};

}  // namespace orvo

#endif  // VECTOR_TOKENIZER_H_
