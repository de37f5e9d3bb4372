// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The encoding of a GPX document, and UTF-16 turned into UTF-8 for TinyXML. Reader process only.

#include <string>
#include <string_view>

enum class GpxEncoding {
    Bytes,              // UTF-8 or a single-byte encoding: TinyXML reads it as it is
    Utf16LittleEndian,  // byte-order mark FF FE, or "<\0?\0" at the start
    Utf16BigEndian,     // byte-order mark FE FF, or "\0<\0?" at the start
    Utf32,              // byte-order mark or "<\0\0\0" / "\0\0\0<" at the start
    Ebcdic,             // "<?xm" in EBCDIC (4C 6F A7 94)
};

GpxEncoding DetectGpxEncoding(std::string_view document);

// "could not be parsed: the file is encoded in <name>, which cannot be read (save it as UTF-8)";
// empty for Bytes and the two UTF-16 forms.
std::string UnreadableEncodingProblem(GpxEncoding encoding);

// UTF-16 to UTF-8 in `utf8`, the byte-order mark dropped and DeclareUtf8 applied. Returns the
// empty text, or "could not be parsed: not valid UTF-16 at byte N" with the text before it.
std::string ConvertUtf16Document(std::string_view document, bool bigEndian, std::string& utf8);

// `text` with the encoding in its leading XML declaration, if it names one, replaced by UTF-8.
std::string DeclareUtf8(std::string text);
