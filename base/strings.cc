// String and path helpers.
#include "base/strings.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/format_g16.h"
#include "platform/win32.h"

namespace orvo {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  size_t last_separator = std::string_view::npos;
  for (size_t i = 0; i < path.size(); ++i)
    if (IsSeparator(path[i])) last_separator = i;
  if (last_separator != std::string_view::npos) {
    parts.dir = std::string(path.substr(0, last_separator + 1));
    path.remove_prefix(last_separator + 1);
  }
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) {
    parts.name = std::string(path);
  } else {
    parts.name = std::string(path.substr(0, dot));
    parts.ext = std::string(path.substr(dot));
  }
  return parts;
}

std::string FileExt(std::string_view path) { return SplitPath(path).ext; }

std::string ChangeExt(std::string_view path, std::string_view new_ext) {
  PathParts parts = SplitPath(path);
  std::string out = parts.drive;
  out += parts.dir;  // SplitPath keeps the directory's trailing separator
  out += parts.name;
  if (!new_ext.empty()) {
    if (new_ext.front() != '.') out += '.';
    out += new_ext;
  }
  return out;
}

std::string UpperCopy(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::string LowerCopy(std::string_view text) {
  if (text.empty()) return std::string();
  std::string out(text.size(), '\0');
  int length = static_cast<int>(text.size());
  int written =
      LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), length, out.data(), length);
  if (written != length) {
    // The system refused: fall back to ASCII folding rather than lose the text.
    out.assign(text);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

double StrToDouble(const char* text) {
  if (text == nullptr) return 0.0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  double sign = 1.0;
  if (*p == '+' || *p == '-') {
    if (*p == '-') sign = -1.0;
    ++p;
  }
  // Integer digits accumulate; after a '.', digit k adds digit / 10^k. A second
  // '.' is ignored, so "1.2.3" reads as 1.23.
  auto read_number = [&p](double& value) {
    bool in_fraction = false;
    double divisor = 1.0;
    for (;; ++p) {
      char c = *p;
      if (c >= '0' && c <= '9') {
        if (in_fraction) {
          divisor *= 10.0;
          value += (c - '0') / divisor;
        } else {
          value = value * 10.0 + (c - '0');
        }
      } else if (c == '.') {
        in_fraction = true;
      } else {
        return;
      }
    }
  };
  double mantissa = 0.0;
  read_number(mantissa);
  double exponent = 0.0;
  if (*p == 'e' || *p == 'E') {
    ++p;
    double exponent_sign = 1.0;
    if (*p == '+' || *p == '-') {
      if (*p == '-') exponent_sign = -1.0;
      ++p;
    }
    read_number(exponent);
    exponent *= exponent_sign;
  }
  double result = sign * mantissa;
  if (exponent != 0.0) result *= std::pow(10.0, exponent);
  return result;
}

void AppendDouble(std::string& out, double value) {
  char buffer[64];
  if (char* fast_end = fast_g16::FormatG16(value, buffer)) {
    out.append(buffer, fast_end);
    return;
  }
  auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::general, 16);
  if (ec != std::errc()) {
    out += DoubleToString(value, "%.16g");
    return;
  }
  out.append(buffer, end);
}

std::string DoubleToString(double value, const char* format) {
  if (format == nullptr) {
    std::string out;
    AppendDouble(out, value);
    return out;
  }
  int needed = std::snprintf(nullptr, 0, format, value);
  if (needed <= 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::snprintf(buffer.data(), buffer.size(), format, value);
  std::string out(buffer.data(), static_cast<size_t>(needed));
  // printf writes the C locale's decimal separator; files always carry '.'.
  const char* point = std::localeconv()->decimal_point;
  if (point != nullptr && std::strcmp(point, ".") != 0 && point[0] != '\0') {
    size_t at = out.find(point);
    if (at != std::string::npos)
      out = out.substr(0, at) + '.' + out.substr(at + std::strlen(point));
  }
  return out;
}

}  // namespace orvo
