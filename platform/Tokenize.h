// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Splitting text into tokens, as the C run-time's strtok and the string class's Tokenize do.

#include <string>

// strtok in re-entrant form: splits `text` in place. Pass the text on the first call and
// nullptr afterwards; `state` keeps the position between calls. Any run of delimiters separates
// two tokens and leading delimiters are skipped. Returns nullptr when no token is left.
char* StrTok(char* text, const char* delimiters, char** state);

// Tokenize: from position `pos`, skips any run of delimiter characters and returns the next run
// of other characters; `pos` then points one past the character that ended the token. When no
// token is left (or `pos` is negative or past the end) returns the empty text and sets `pos`
// to -1.
std::string Tokenize(const std::string& text, const char* delimiters, int& pos);
