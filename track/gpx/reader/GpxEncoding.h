// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text encoding of a GPX document, and turning UTF-16 documents into UTF-8 for TinyXML,
// which reads only UTF-8 and single-byte text. Runs in the GPX reader process.

#include <string>
#include <string_view>

enum class GpxEncoding {
    Bytes,              // UTF-8 or a single-byte encoding: TinyXML reads it as it is
    Utf16LittleEndian,  // byte-order mark FF FE, or "<\0?\0" at the start
    Utf16BigEndian,     // byte-order mark FE FF, or "\0<\0?" at the start
    Utf32,              // byte-order mark or "<\0\0\0" / "\0\0\0<" at the start
    Ebcdic,             // "<?xm" in EBCDIC (4C 6F A7 94)
};

// The encoding that the first bytes of a document show.
GpxEncoding DetectGpxEncoding(std::string_view document);

// The problem text for a document in an encoding the reader cannot read, e.g. "could not be
// parsed: the file is encoded in UTF-32, which cannot be read (save it as UTF-8)". Empty for
// Bytes and the two UTF-16 forms.
std::string UnreadableEncodingProblem(GpxEncoding encoding);

// Converts a UTF-16 document (with or without its byte-order mark, which is dropped) to UTF-8
// in `utf8`, and declares it UTF-8 in its XML declaration (see DeclareUtf8). Returns the empty
// text, or the problem when the document is not valid UTF-16: "could not be parsed: not valid
// UTF-16 at byte N" (an unpaired surrogate, or an odd byte at the end); `utf8` then holds the
// text before that byte.
std::string ConvertUtf16Document(std::string_view document, bool bigEndian, std::string& utf8);

// `text` with the encoding named in its leading XML declaration ("<?xml ... encoding='UTF-16'
// ?>") replaced by UTF-8; unchanged when it starts with no declaration or names no encoding.
std::string DeclareUtf8(std::string text);
