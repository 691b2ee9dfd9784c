// Linked into every program of the sanitised build (VEXEL_SANITIZE). A
// sanitizer report ends the program with its own exit code, so a test that
// expects a command's ordinary failure (exit 1) still notices one in the
// child it started. ASAN_OPTIONS, UBSAN_OPTIONS and LSAN_OPTIONS in the
// environment still override these.
extern "C" {

const char* __asan_default_options() { return "exitcode=86:detect_leaks=1"; }
const char* __ubsan_default_options() { return "exitcode=86:print_stacktrace=1"; }
const char* __lsan_default_options() { return "exitcode=86"; }

// Leaks in system libraries the program cannot mend.
const char* __lsan_default_suppressions() { return ""; }

}
