// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/png/PngText.h"

#include <zlib.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t kMaxInflated = 64u << 20;
constexpr size_t kBytesPerLine = 36;

bool Inflate(const unsigned char* data, size_t size, std::string& out) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return false;
    }
    stream.next_in = const_cast<unsigned char*>(data);
    stream.avail_in = static_cast<uInt>(size);
    unsigned char buffer[16384];
    int result = Z_OK;
    while (result == Z_OK && out.size() <= kMaxInflated) {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(reinterpret_cast<char*>(buffer), sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END && out.size() <= kMaxInflated;
}

std::string Deflate(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_DEFAULT_COMPRESSION);
    out.resize(size);
    return out;
}

// Reads up to the next NUL from `at`; false when there is none.
bool ReadNulEnded(const unsigned char* data, size_t size, size_t& at, std::string& text) {
    const void* nul = std::memchr(data + at, '\0', size - at);
    if (nul == nullptr) {
        return false;
    }
    const size_t end = static_cast<size_t>(static_cast<const unsigned char*>(nul) - data);
    text.assign(reinterpret_cast<const char*>(data + at), end - at);
    at = end + 1;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

}  // namespace

bool ReadPngText(const std::string& type, const unsigned char* data, size_t size, PngText& text) {
    text = PngText();
    text.type = type;
    size_t at = 0;
    if (!ReadNulEnded(data, size, at, text.keyword)) {
        return false;
    }
    if (type == "tEXt") {
        text.text.assign(reinterpret_cast<const char*>(data + at), size - at);
        return true;
    }
    if (type == "zTXt") {
        text.compressed = true;
        return at < size && data[at] == 0 && Inflate(data + at + 1, size - at - 1, text.text);
    }
    if (type != "iTXt" || size - at < 2 || data[at + 1] != 0) {
        return false;
    }
    text.compressed = data[at] != 0;
    const size_t tagsStart = at + 2;
    std::string language;
    std::string translated;
    at = tagsStart;
    if (!ReadNulEnded(data, size, at, language) || !ReadNulEnded(data, size, at, translated)) {
        return false;
    }
    text.iTxtTags.assign(reinterpret_cast<const char*>(data + tagsStart), at - tagsStart);
    if (text.compressed) {
        return Inflate(data + at, size - at, text.text);
    }
    text.text.assign(reinterpret_cast<const char*>(data + at), size - at);
    return true;
}

std::string WritePngText(const PngText& text) {
    std::string data = text.keyword + '\0';
    if (text.type == "tEXt") {
        return data + text.text;
    }
    if (text.type == "zTXt") {
        return data + '\0' + Deflate(text.text);
    }
    data += text.compressed ? '\1' : '\0';
    data += '\0';
    data += text.iTxtTags;
    return data + (text.compressed ? Deflate(text.text) : text.text);
}

bool ReadRawProfile(const std::string& text, std::string& name, std::string& bytes) {
    if (text.empty() || text[0] != '\n') {
        return false;
    }
    const size_t nameEnd = text.find('\n', 1);
    if (nameEnd == std::string::npos) {
        return false;
    }
    name = text.substr(1, nameEnd - 1);
    const size_t lengthEnd = text.find('\n', nameEnd + 1);
    if (lengthEnd == std::string::npos) {
        return false;
    }
    const std::string lengthText = text.substr(nameEnd + 1, lengthEnd - nameEnd - 1);
    char* end = nullptr;
    const unsigned long length = std::strtoul(lengthText.c_str(), &end, 10);
    if (end == lengthText.c_str() || *end != '\0' || length > text.size() / 2) {
        return false;
    }
    bytes.clear();
    int high = -1;
    for (size_t at = lengthEnd + 1; at < text.size() && bytes.size() < length; ++at) {
        const int digit = HexDigit(text[at]);
        if (digit < 0) {
            continue;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high << 4 | digit);
            high = -1;
        }
    }
    return bytes.size() == length;
}

std::string WriteRawProfile(const std::string& name, const std::string& bytes) {
    char length[32];
    std::snprintf(length, sizeof length, "%8zu", bytes.size());
    std::string text = "\n" + name + "\n" + length + "\n";
    static const char kHex[] = "0123456789abcdef";
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(bytes[i]);
        text += kHex[byte >> 4];
        text += kHex[byte & 0xF];
        if ((i + 1) % kBytesPerLine == 0 || i + 1 == bytes.size()) {
            text += '\n';
        }
    }
    return text;
}
