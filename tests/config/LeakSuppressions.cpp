// Allocations that the leak checker of sanitizer builds must not report: fontconfig keeps its
// configuration for the life of the process, and Qt's font database never frees it. The checker
// reads this function when the program starts; other builds ignore it.

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
