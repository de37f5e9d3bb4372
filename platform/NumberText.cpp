// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberText.h"

#include <locale.h>

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

// Switches the calling thread to the C locale for the lifetime of the object.
class ScopedCLocale {
public:
    ScopedCLocale() : m_Previous(uselocale(CLocale())) {}
    ~ScopedCLocale() { uselocale(m_Previous); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    locale_t m_Previous;
};

std::string VFormatC(size_t limit, const char* format, va_list args) {
    ScopedCLocale cLocale;
    std::vector<char> buffer(limit + 1, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    return std::string(buffer.data());
}

}  // namespace

int CrtAtoi(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const long value = strtol_l(text, nullptr, 10, CLocale());
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

double CrtAtof(const char* text) {
    if (text == nullptr) {
        return 0.0;
    }
    return strtod_l(text, nullptr, CLocale());
}

std::string FormatC(size_t limit, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = VFormatC(limit, format, args);
    va_end(args);
    return text;
}
