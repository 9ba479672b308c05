// fontconfig keeps its font configuration for the life of the process and never frees
// it; LeakSanitizer (the asan preset) would report that at exit on every text test.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
