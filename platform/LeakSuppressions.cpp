// fontconfig keeps a few bytes of its parsed configuration for the whole run,
// unreachable from any pointer we hold; LeakSanitizer reads this function at exit
// (the function does nothing in builds without the sanitizer).

extern "C" __attribute__((visibility("default"), used)) const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
