// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxNesting.h"

#include <cctype>

namespace {

// The position just past `terminator` at or after `from`, or the end of the text.
size_t PastTerminator(std::string_view text, size_t from, std::string_view terminator) {
    const size_t at = text.find(terminator, from);
    return at == std::string_view::npos ? text.size() : at + terminator.size();
}

// The position just past the '>' that ends a tag starting at `from`, skipping quoted values.
// Sets `selfClosing` when the tag ends in "/>".
size_t PastTag(std::string_view text, size_t from, bool& selfClosing) {
    char quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            selfClosing = i > from && text[i - 1] == '/';
            return i + 1;
        }
    }
    return text.size();
}

bool StartsElement(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

bool NestsDeeperThan(std::string_view text, size_t limit) {
    size_t depth = 0;
    size_t at = text.find('<');
    while (at != std::string_view::npos) {
        const std::string_view rest = text.substr(at);
        bool selfClosing = false;
        if (rest.substr(0, 4) == "<!--") {
            at = PastTerminator(text, at + 4, "-->");
        } else if (rest.substr(0, 9) == "<![CDATA[") {
            at = PastTerminator(text, at + 9, "]]>");
        } else if (rest.substr(0, 5) == "<?xml") {
            at = PastTag(text, at + 5, selfClosing);
        } else if (rest.size() > 1 && StartsElement(rest[1])) {
            at = PastTag(text, at + 1, selfClosing);
            if (!selfClosing && ++depth > limit) {
                return true;
            }
        } else {
            depth -= rest.substr(0, 2) == "</" && depth > 0 ? 1 : 0;
            at = PastTerminator(text, at + 1, ">");
        }
        at = text.find('<', at);
    }
    return false;
}
