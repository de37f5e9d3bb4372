// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PNG text chunks (tEXt, zTXt, iTXt) and the "Raw profile type NAME" text that ImageMagick keeps
// a binary profile in: read and written back in the same form.

#include <cstddef>
#include <string>

// A text chunk's data as read: its keyword, its text (inflated), and what writing it back in the
// same form takes.
struct PngText {
    std::string type;  // "tEXt", "zTXt" or "iTXt"
    std::string keyword;
    std::string text;
    bool compressed = false;
    std::string iTxtTags;  // iTXt: the language tag and translated keyword, each NUL-ended
};

// Reads the data of a text chunk of `type`. False for another type, a keyword without its end,
// a compression method other than zlib's, and compressed text that does not inflate (or would
// inflate beyond 64 MiB).
bool ReadPngText(const std::string& type, const unsigned char* data, size_t size, PngText& text);

// The chunk data that holds `text` in its form (compressed again where it was).
std::string WritePngText(const PngText& text);

// The bytes of a raw profile text "\nNAME\n   LENGTH\nHEX..."; false when it is not one, or its
// hexadecimal digits do not give LENGTH bytes.
bool ReadRawProfile(const std::string& text, std::string& name, std::string& bytes);

// A raw profile text as ImageMagick writes it: the name, the length in eight columns, and the
// bytes in lower-case hexadecimal, 36 bytes a line.
std::string WriteRawProfile(const std::string& name, const std::string& bytes);
