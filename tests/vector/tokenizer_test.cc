// The field splitter of the text attribute and classifier files.
#include "vector/tokenizer.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

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
  EXPECT_EQ(Split("7,0,\"A1\","), (Tokens{"7", "0", "A1"}));
  EXPECT_EQ(Split("7,0,\"A1\",NAME,\"Main St\",\r\n"), (Tokens{"7", "0", "A1", "NAME", "Main St"}));
  // Leading spaces are skipped, trailing ones kept; empty fields stay.
  EXPECT_EQ(Split("  a , b,,c"), (Tokens{"a ", "b", "", "c"}));
  // Spaces inside quotes are kept; text after the closing quote is skipped up
  // to the separator.
  EXPECT_EQ(Split("\" x \"junk,next"), (Tokens{" x ", "next"}));
  EXPECT_EQ(Split("\"last\"tail"), (Tokens{"last"}));
  EXPECT_EQ(Split("a,b\rc,d"), (Tokens{"a", "b"}));
  EXPECT_EQ(Split("a\nb"), (Tokens{"a"}));
}

TEST(Tokenizer, NoTokensOnBlankLines) {
  EXPECT_EQ(Split(""), Tokens{});
  EXPECT_EQ(Split("   "), Tokens{});
  EXPECT_EQ(Split("  \r\n"), Tokens{});
  TTokenizer tokenizer(',', '"');
  tokenizer.Reset(nullptr);
  std::string token = "stale";
  EXPECT_FALSE(tokenizer.Next(token));
  EXPECT_EQ(token, "");
}

TEST(Tokenizer, BackslashTakesTheNextCharacterLiterally) {
  EXPECT_EQ(Split("\"a\\\"b\""), (Tokens{"a\"b"}));
  EXPECT_EQ(Split("\"a\\\\b\""), (Tokens{"a\\b"}));
  EXPECT_EQ(Split("\"a\\,b\",c"), (Tokens{"a,b", "c"}));
  EXPECT_EQ(Split("\"\\x\""), (Tokens{"x"}));
  // Outside quotes a backslash is an ordinary character.
  EXPECT_EQ(Split("a\\b,c"), (Tokens{"a\\b", "c"}));
}

TEST(Tokenizer, UnterminatedQuoteGivesAnEmptyTokenAndEndsTheLine) {
  EXPECT_EQ(Split("1,\"abc"), (Tokens{"1", ""}));
  EXPECT_EQ(Split("1,\"abc\\\""), (Tokens{"1", ""}));
  EXPECT_EQ(Split("1,\"ab\\"), (Tokens{"1", ""}));
  EXPECT_EQ(Split("1,\"ab\r\"c\",d"), (Tokens{"1", ""}));
}

TEST(Tokenizer, OtherSeparatorAndQuote) {
  TTokenizer tokenizer(';', '\'');
  tokenizer.Reset("a;'b;c';d,e");
  std::string token;
  Tokens tokens;
  while (tokenizer.Next(token)) tokens.push_back(token);
  EXPECT_EQ(tokens, (Tokens{"a", "b;c", "d,e"}));
}

}  // namespace
}  // namespace orvo
