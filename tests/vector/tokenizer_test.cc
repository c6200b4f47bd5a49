// The field splitter of the text attribute and classifier files.
#include "vector/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvo {
namespace {

std::vector<std::string> Split(const char* line) {
  TTokenizer tokenizer(',', '"');
  tokenizer.Reset(line);
  std::vector<std::string> tokens;
  std::string token;
  while (tokenizer.Next(token)) tokens.push_back(token);
  EXPECT_FALSE(tokenizer.Next(token)) << "no token after the end";
  return tokens;
}

using Tokens = std::vector<std::string>;

TEST(Tokenizer, SplitsPlainAndQuotedFields) {
  const struct {
    const char* line;
    Tokens tokens;
  } cases[] = {
      {"7,0,\"A1\",", {"7", "0", "A1"}},
      {"7,0,\"A1\",NAME,\"Main St\",\r\n", {"7", "0", "A1", "NAME", "Main St"}},
      // Leading spaces are skipped, trailing ones kept; empty fields stay.
      {"  a , b,,c", {"a ", "b", "", "c"}},
      // Spaces inside quotes are kept; text after the closing quote is skipped
      // up to the separator.
      {"\" x \"junk,next", {" x ", "next"}},
      {"\"last\"tail", {"last"}},
      {"a,b\rc,d", {"a", "b"}},
      {"a\nb", {"a"}},
      {"", {}},
      {"   ", {}},
      {"  \r\n", {}},
      // A backslash takes the next character literally, inside quotes only.
      {"\"a\\\"b\"", {"a\"b"}},
      {"\"a\\\\b\"", {"a\\b"}},
      {"\"a\\,b\",c", {"a,b", "c"}},
      {"\"\\x\"", {"x"}},
      {"a\\b,c", {"a\\b", "c"}},
      // An unterminated quote gives an empty token and ends the line.
      {"1,\"abc", {"1", ""}},
      {"1,\"abc\\\"", {"1", ""}},
      {"1,\"ab\\", {"1", ""}},
      {"1,\"ab\r\"c\",d", {"1", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(Split(c.line), c.tokens) << c.line;
}

TEST(Tokenizer, NullLineAndOtherSeparatorAndQuote) {
  TTokenizer tokenizer(',', '"');
  tokenizer.Reset(nullptr);
  std::string token = "stale";
  EXPECT_FALSE(tokenizer.Next(token));
  EXPECT_EQ(token, "");
  TTokenizer other(';', '\'');
  other.Reset("a;'b;c';d,e");
  Tokens tokens;
  while (other.Next(token)) tokens.push_back(token);
  EXPECT_EQ(tokens, (Tokens{"a", "b;c", "d,e"}));
}

}  // namespace
}  // namespace orvo
