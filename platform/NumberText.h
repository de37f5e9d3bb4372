// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number parsing and formatting with the C run-time's semantics, always in the C locale
// ('.' as decimal point) whatever the user's locale.

#include <string>

// atoi: skips leading white space, takes an optional sign and decimal digits up to the first
// other character. No digits give 0; values beyond the int range are clamped to it.
int CrtAtoi(const char* text);
inline int CrtAtoi(const std::string& text) {
    return CrtAtoi(text.c_str());
}

// atof: skips leading white space and converts the longest prefix that forms a number
// ("47,5" gives 47.0). No number gives 0.0.
double CrtAtof(const char* text);

// snprintf with a C-locale printf format, limited to `limit` characters (truncated beyond).
std::string FormatC(size_t limit, const char* format, ...) __attribute__((format(printf, 2, 3)));
