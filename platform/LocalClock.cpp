// SPDX-License-Identifier: GPL-3.0-or-later
#include "LocalClock.h"

#include <langinfo.h>
#include <locale.h>

namespace {

// The user's LC_TIME locale, falling back to C when the environment names none that exists.
locale_t UserTimeLocale() {
    static const locale_t user = [] {
        locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
        return loc != nullptr ? loc : newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return user;
}

std::string FormatTm(const char* format, const std::tm& local, locale_t loc) {
    char buffer[64];
    const size_t n = strftime_l(buffer, sizeof buffer, format, &local, loc);
    return std::string(buffer, n);
}

}  // namespace

std::string FormatShortDate(const std::tm& local) {
    const locale_t loc = UserTimeLocale();
    return FormatTm(nl_langinfo_l(D_FMT, loc), local, loc);
}

std::string FormatTime24(const std::tm& local) {
    return FormatTm("%H:%M:%S", local, UserTimeLocale());
}

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}
