// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splitting text into tokens, as the C run-time's strtok and the string class's Tokenize do.

#include <string>

// strtok_r: splits `text` in place (pass nullptr after the first call; `state` keeps the place);
// nullptr when no token is left.
char* StrTok(char* text, const char* delimiters, char** state);

// Skips delimiters from `pos` and returns the next token; `pos` then lies one past the delimiter
// that ended it. No token left, or `pos` out of range: the empty text and `pos` -1.
std::string Tokenize(const std::string& text, const char* delimiters, int& pos);
