// Test program entry: child modes for cross-process tests, and a locale whose
// decimal separator is a comma, so that number formatting that leaks the
// locale shows up as a failure.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "tests/support/child.h"

int main(int argc, char** argv) {
  // The wine runner's sign that main was reached (wine's own start failures).
  if (const char* mark = std::getenv("ORVO_START_MARK")) {
    if (std::FILE* f = std::fopen(mark, "wb")) std::fclose(f);
  }
  int exit_code = 0;
  if (orvotest::MaybeRunChild(argc, argv, &exit_code)) return exit_code;
  const char* comma_locales[] = {"de_DE.UTF-8",         "de_DE.utf8", "fr_FR.UTF-8",
                                 "German_Germany.1252", "German",     "de-DE"};
  bool comma = false;
  for (const char* name : comma_locales) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      comma = true;
      break;
    }
  }
  if (!comma) std::fprintf(stderr, "note: no comma-decimal locale available; running under C\n");
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
