// String and path helpers: DOS path splitting, case folding, the library's own
// locale-independent number parser and number formatting.
#ifndef BASE_STRINGS_H_
#define BASE_STRINGS_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace orvo {

// The four parts of a path by the DOS rules: '\\' and '/' both separate
// directories. drive is "C:" or empty; dir keeps its trailing separator; ext
// keeps its dot and is empty when the last component has none.
struct PathParts {
  std::string drive;
  std::string dir;
  std::string name;
  std::string ext;
};
PathParts SplitPath(std::string_view path);

// The extension of the last path component, dot included, case kept; empty
// when that component has no dot.
std::string FileExt(std::string_view path);

// The path with its extension replaced. A new extension without a leading dot
// gets one; an empty one removes the extension and its dot.
std::string ChangeExt(std::string_view path, std::string_view new_ext);

// The C isspace set of the "C" locale (space, tab, LF, VT, FF, CR), whatever
// locale is in force.
inline bool IsCSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The text without the IsCSpace characters at either end.
inline std::string_view TrimCSpace(std::string_view text) {
  while (!text.empty() && IsCSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsCSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Upper-cased copy. Folds ASCII letters only, whatever the locale, so that
// ids, section names, keys and extensions compare the same on every platform.
std::string UpperCopy(std::string_view text);

// Lower-cased copy by the system's case mapping (the ANSI code page's rules).
std::string LowerCopy(std::string_view text);

// Locale-independent decimal parser. Never fails: a null or empty text gives
// 0.0; leading spaces and tabs are skipped; parsing stops at the first
// character that cannot continue the number ("1.2.3" gives 1.23, a second '.'
// being ignored). Exponents may carry a fraction ("1e0.5").
double StrToDouble(const char* text);

// Formats a double with a printf format (one double conversion), or with
// "%-.16g" when format is null. The decimal separator is always '.', whatever
// the C locale.
std::string DoubleToString(double value, const char* format = nullptr);

// Appends value as "%-.16g" would print it in the C locale, without going
// through printf: the hot path of the text writers.
void AppendDouble(std::string& out, double value);

}  // namespace orvo

#endif  // BASE_STRINGS_H_
