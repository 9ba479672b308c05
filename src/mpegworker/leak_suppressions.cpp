// The encoder and multiplexer libraries keep memory per still that they never free; that
// is why they run in this worker, which the engine replaces within its memory budget.
// LeakSanitizer (the asan preset) would report it at every worker's exit and fail the
// job, so those libraries' allocations are not reported.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libmpeg2encpp\nleak:libmjpegutils\nleak:libmplex2\n";
}

// The worker shares its terminal with the tool that started it: no table of the
// suppressions applied at every exit.
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
