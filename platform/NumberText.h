// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number parsing and formatting as the C run-time does them, always in the C locale.

#include <string>

// atoi; no digits give 0, values beyond the int range are clamped to it.
int CrtAtoi(const char* text);
inline int CrtAtoi(const std::string& text) {
    return CrtAtoi(text.c_str());
}

// atof: the longest prefix that forms a number ("47,5" gives 47.0); none gives 0.0.
double CrtAtof(const char* text);

// snprintf, truncated to `limit` characters.
std::string FormatC(size_t limit, const char* format, ...) __attribute__((format(printf, 2, 3)));
