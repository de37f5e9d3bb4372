// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxEncoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// One open iconv conversion, closed when it goes.
class Converter {
public:
    explicit Converter(const char* from) : m_Handle(iconv_open("UTF-8", from)) {}
    ~Converter() {
        if (m_Handle != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(m_Handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool IsOpen() const { return m_Handle != reinterpret_cast<iconv_t>(-1); }

    // Converts `input` whole into `output`; returns the offset of the first byte that could not
    // be converted, or input.size().
    size_t Convert(std::string_view input, std::string& output) {
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buffer[16384];
        while (inLeft > 0) {
            char* out = buffer;
            size_t outLeft = sizeof buffer;
            const size_t result = iconv(m_Handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<size_t>(out - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG) {
                break;
            }
        }
        return input.size() - inLeft;
    }

private:
    iconv_t m_Handle;
};

}  // namespace

GpxEncoding DetectGpxEncoding(std::string_view document) {
    using namespace std::string_view_literals;
    if (StartsWith(document, "\xFF\xFE\0\0"sv) || StartsWith(document, "\0\0\xFE\xFF"sv) ||
        StartsWith(document, "<\0\0\0"sv) || StartsWith(document, "\0\0\0<"sv)) {
        return GpxEncoding::Utf32;
    }
    if (StartsWith(document, "\xFF\xFE"sv) || StartsWith(document, "<\0?\0"sv)) {
        return GpxEncoding::Utf16LittleEndian;
    }
    if (StartsWith(document, "\xFE\xFF"sv) || StartsWith(document, "\0<\0?"sv)) {
        return GpxEncoding::Utf16BigEndian;
    }
    if (StartsWith(document, "\x4C\x6F\xA7\x94"sv)) {
        return GpxEncoding::Ebcdic;
    }
    return GpxEncoding::Bytes;
}

std::string UnreadableEncodingProblem(GpxEncoding encoding) {
    const char* name = encoding == GpxEncoding::Utf32    ? "UTF-32"
                       : encoding == GpxEncoding::Ebcdic ? "EBCDIC"
                                                         : nullptr;
    if (name == nullptr) {
        return std::string();
    }
    return std::string("could not be parsed: the file is encoded in ") + name +
           ", which cannot be read (save it as UTF-8)";
}

std::string ConvertUtf16Document(std::string_view document, bool bigEndian, std::string& utf8) {
    utf8.clear();
    size_t start = 0;
    if (StartsWith(document, bigEndian ? "\xFE\xFF" : "\xFF\xFE")) {
        start = 2;
    }
    Converter converter(bigEndian ? "UTF-16BE" : "UTF-16LE");
    if (!converter.IsOpen()) {
        return std::string("could not be parsed: UTF-16 cannot be converted: ") +
               std::strerror(errno);
    }
    const std::string_view body = document.substr(start);
    const size_t converted = converter.Convert(body, utf8);
    if (converted < body.size()) {
        return "could not be parsed: not valid UTF-16 at byte " + std::to_string(start + converted);
    }
    utf8 = DeclareUtf8(std::move(utf8));
    return std::string();
}

std::string DeclareUtf8(std::string text) {
    if (!StartsWith(text, "<?xml")) {
        return text;
    }
    const size_t end = text.find("?>");
    const size_t name = text.find("encoding", 5);
    if (end == std::string::npos || name == std::string::npos || name > end) {
        return text;
    }
    const size_t open = text.find_first_of("\"'", name);
    if (open == std::string::npos || open > end) {
        return text;
    }
    const size_t close = text.find(text[open], open + 1);
    if (close == std::string::npos || close > end) {
        return text;
    }
    return text.replace(open + 1, close - open - 1, "UTF-8");
}
