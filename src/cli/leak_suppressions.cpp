// fontconfig keeps its font configuration for the life of the process and never frees
// it; LeakSanitizer (the asan preset) would report that at every exit after drawing text.
// libheif 1.15 leaks 40 bytes inside dav1d for some damaged AVIF files.
// Nothing happens in a build without the sanitizer: these hooks are simply never called.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdav1d.so\n"; }

// Quiet about the suppressions it applied: the tool's output is read by people and tests.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
