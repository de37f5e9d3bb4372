// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tokenize.h"

#include <cstring>

char* StrTok(char* text, const char* delimiters, char** state) {
    return strtok_r(text, delimiters, state);
}

std::string Tokenize(const std::string& text, const char* delimiters, int& pos) {
    const size_t length = text.size();
    if (pos >= 0 && static_cast<size_t>(pos) < length) {
        const size_t start = text.find_first_not_of(delimiters, static_cast<size_t>(pos));
        if (start != std::string::npos) {
            size_t end = text.find_first_of(delimiters, start);
            if (end == std::string::npos) {
                end = length;
            }
            pos = static_cast<int>(end + 1);
            return text.substr(start, end - start);
        }
    }
    pos = -1;
    return std::string();
}
