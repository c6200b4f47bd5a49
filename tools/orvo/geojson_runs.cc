// Finding the features array and cutting it into runs.
#include "tools/orvo/geojson_runs.h"

#include <cstring>

namespace orvotool {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The offset just past the '[' of the top-level "features" array; 0 when
// none shows first. Only the head is scanned, string by string.
size_t FindFeaturesArray(const char* text, size_t size) {
  int depth = 0;
  size_t key_start = 0, key_end = 0;  // the last string seen in the top object
  for (size_t i = 0; i < size; ++i) {
    const char c = text[i];
    if (c == '"') {
      const size_t start = i + 1;
      bool escaped = false;
      for (++i; i < size && text[i] != '"'; ++i) {
        if (text[i] == '\\') {
          escaped = true;
          ++i;
        }
      }
      if (i >= size) return 0;
      if (depth == 1) {
        // A string the parser would decode to other bytes: it might be a
        // "features" key written with escapes.
        if (escaped) return 0;
        key_start = start;
        key_end = i;
      }
    } else if (c == '{' || c == '[') {
      if (depth == 0 && c != '{') return 0;
      ++depth;
    } else if (c == '}' || c == ']') {
      if (--depth <= 0) return 0;
    } else if (c == ':' && depth == 1 && key_end - key_start == 8 &&
               std::memcmp(text + key_start, "features", 8) == 0) {
      size_t j = i + 1;
      while (j < size && IsBlank(text[j])) ++j;
      if (j < size && text[j] == '[') return j + 1;
    }
  }
  return 0;
}

// Whether the comma at text[at] stands between a '}' and a '{'.
bool IsCutAt(const char* text, size_t size, size_t head, size_t at) {
  size_t before = at;
  while (before > head && IsBlank(text[before - 1])) --before;
  size_t after = at + 1;
  while (after < size && IsBlank(text[after])) ++after;
  return before > head && text[before - 1] == '}' && after < size && text[after] == '{';
}

}  // namespace

bool FindFeatureRuns(const char* text, size_t size, size_t run_bytes, FeatureRuns* runs) {
  runs->head = FindFeaturesArray(text, size);
  runs->starts.clear();
  if (runs->head == 0) return false;
  runs->starts.push_back(runs->head);
  if (run_bytes < 1) run_bytes = 1;
  size_t at = runs->head;
  while (size - at > run_bytes) {
    at += run_bytes;
    const void* comma = nullptr;
    while (at < size && (comma = std::memchr(text + at, ',', size - at)) != nullptr) {
      at = static_cast<size_t>(static_cast<const char*>(comma) - text);
      if (IsCutAt(text, size, runs->head, at)) break;
      ++at;
      comma = nullptr;
    }
    if (comma == nullptr) break;
    runs->starts.push_back(at + 1);
  }
  return true;
}

}  // namespace orvotool
