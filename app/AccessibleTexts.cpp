#include "app/AccessibleTexts.h"

std::string HotFolderAccessibleName(int n, bool on, const std::string& path) {
    return "Hot folder " + std::to_string(n) + (on ? ": on, " : ": off, ") +
           (path.empty() ? std::string("no folder set") : path);
}

std::string GpxFileAccessibleName(const std::string& path) {
    return "GPX file: " + (path.empty() ? std::string("none chosen") : path);
}

std::string StatusAccessibleName(const std::string& status) {
    return "Status: " + status;
}
