// Linked into our programs (not the library): fontconfig keeps a few hundred
// bytes of its configuration unreachable once loaded (Debian 12's 2.14); that
// is its own, once per process, and not worth a red sanitizer run.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
