// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG text chunks and ImageMagick's "Raw profile type NAME" texts, read and written in one form.

#include <cstddef>
#include <string>

struct PngText {
    std::string type;  // "tEXt", "zTXt" or "iTXt"
    std::string keyword;
    std::string text;  // inflated
    bool compressed = false;
    std::string iTxtTags;  // iTXt: language tag and translated keyword, each NUL-ended
};

// False for another type, no keyword end, or text that does not inflate (or beyond 64 MiB).
bool ReadPngText(const std::string& type, const unsigned char* data, size_t size, PngText& text);
// The chunk data of `text`, compressed again where it was.
std::string WritePngText(const PngText& text);

// "\nNAME\n   LENGTH\nHEX..." read; false unless the hex digits give LENGTH bytes.
bool ReadRawProfile(const std::string& text, std::string& name, std::string& bytes);
// As ImageMagick writes it: the length in eight columns, 36 bytes of lower-case hex a line.
std::string WriteRawProfile(const std::string& name, const std::string& bytes);
