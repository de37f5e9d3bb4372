// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/webp/WebPExifEdit.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "photo/ByteFields.h"
#include "photo/EmbeddedExif.h"

namespace {

constexpr size_t kRiffHeader = 12;  // "RIFF", its size, "WEBP"
constexpr unsigned char kExifFlag = 0x08;
constexpr unsigned char kAlphaFlag = 0x10;
constexpr unsigned char kXmpFlag = 0x04;
const char kExifId[] = "Exif\0\0";  // six bytes some writers put before the TIFF data

struct Chunk {
    std::string type;
    size_t start = 0;
    size_t payload = 0;
    size_t size = 0;  // of the payload
    size_t end = 0;   // past its padding
};

struct WebPLayout {
    std::vector<Chunk> chunks;
    const Chunk* exif = nullptr;
    size_t imageEnd = 0;  // past the last chunk that an EXIF chunk follows
};

std::string ChunkBytes(const char* type, const std::string& payload) {
    std::string bytes = std::string(type, 4) + LittleEndianBytes(payload.size(), 4) + payload;
    return payload.size() % 2 == 0 ? bytes : bytes + '\0';
}

bool PrecedesExif(const std::string& type) {
    for (const char* before : {"VP8X", "ICCP", "ANIM", "ANMF", "ALPH", "VP8 ", "VP8L"}) {
        if (type == before) {
            return true;
        }
    }
    return false;
}

std::string ReadLayout(const unsigned char* file, size_t size, WebPLayout& layout) {
    if (size < kRiffHeader || std::memcmp(file, "RIFF", 4) != 0 ||
        std::memcmp(file + 8, "WEBP", 4) != 0) {
        return "not a WebP file";
    }
    if (ReadLittleEndian(file + 4, 4) + 8 != size) {
        return "the RIFF size is not the file's";
    }
    for (size_t at = kRiffHeader; at < size;) {
        Chunk chunk;
        chunk.start = at;
        if (size - at < 8) {
            return "a chunk is cut short";
        }
        chunk.type.assign(reinterpret_cast<const char*>(file + at), 4);
        chunk.payload = at + 8;
        chunk.size = static_cast<size_t>(ReadLittleEndian(file + at + 4, 4));
        if (chunk.size > size - chunk.payload ||
            (chunk.size % 2 != 0 && chunk.size == size - chunk.payload)) {
            return "the chunk \"" + chunk.type + "\" does not fit in the file";
        }
        chunk.end = chunk.payload + chunk.size + chunk.size % 2;
        layout.chunks.push_back(chunk);
        at = chunk.end;
    }
    for (const Chunk& chunk : layout.chunks) {
        if (chunk.type == "EXIF") {
            if (layout.exif != nullptr) {
                return "the file has two EXIF chunks";
            }
            layout.exif = &chunk;
        }
        if (PrecedesExif(chunk.type)) {
            layout.imageEnd = chunk.end;
        }
    }
    return std::string();
}

// A VP8X chunk for a simple file whose image chunk is `image`, with the Exif flag set; empty
// when its image header cannot be read.
std::string NewVp8x(const unsigned char* file, const Chunk& image, const WebPLayout& layout) {
    const unsigned char* p = file + image.payload;
    uint64_t width = 0;
    uint64_t height = 0;
    unsigned char flags = kExifFlag;
    if (image.type == "VP8 " && image.size >= 10 && std::memcmp(p + 3, "\x9D\x01\x2A", 3) == 0) {
        width = ReadLittleEndian(p + 6, 2) & 0x3FFF;
        height = ReadLittleEndian(p + 8, 2) & 0x3FFF;
    } else if (image.type == "VP8L" && image.size >= 5 && p[0] == 0x2F) {
        const uint64_t bits = ReadLittleEndian(p + 1, 4);
        width = (bits & 0x3FFF) + 1;
        height = (bits >> 14 & 0x3FFF) + 1;
        flags = static_cast<unsigned char>(flags | ((bits >> 28 & 1) != 0 ? kAlphaFlag : 0));
    }
    if (width == 0 || height == 0) {
        return std::string();
    }
    for (const Chunk& chunk : layout.chunks) {
        flags = static_cast<unsigned char>(flags | (chunk.type == "XMP " ? kXmpFlag : 0));
    }
    const std::string payload = std::string(1, static_cast<char>(flags)) + std::string(3, '\0') +
                                LittleEndianBytes(width - 1, 3) + LittleEndianBytes(height - 1, 3);
    return ChunkBytes("VP8X", payload);
}

// The chunks from the first one on, with `exifChunk` in place of the old one or after the image.
NewContent WithExifChunk(const WebPLayout& layout, size_t size, std::string vp8x,
                         const std::string& exifChunk) {
    const Chunk& first = layout.chunks.front();
    const bool hasVp8x = first.type == "VP8X";
    const size_t rest = hasVp8x ? first.end : first.start;
    const size_t cut = layout.exif != nullptr ? layout.exif->start : layout.imageEnd;
    const size_t resume = layout.exif != nullptr ? layout.exif->end : layout.imageEnd;
    NewContent content{GivenBytes(std::string()), GivenBytes(std::move(vp8x)),
                       OriginalRange(rest, cut - rest), GivenBytes(exifChunk),
                       OriginalRange(resume, size - resume)};
    const uint64_t riffSize = ContentSize(content) + kRiffHeader - 8;
    content[0] = GivenBytes("RIFF" + LittleEndianBytes(riffSize, 4) + "WEBP");
    return content;
}

}  // namespace

PhotoEdit EditWebPGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                      const GpsPosition& position) {
    WebPLayout layout;
    const std::string problem = ReadLayout(file, size, layout);
    if (!problem.empty()) {
        return RefusedEdit(problem);
    }
    const Chunk& first = layout.chunks.empty() ? Chunk() : layout.chunks.front();
    std::string vp8x;
    if (first.type == "VP8X" && first.size >= 10) {
        vp8x.assign(reinterpret_cast<const char*>(file) + first.start, first.end - first.start);
        vp8x[8] = static_cast<char>(vp8x[8] | kExifFlag);
    } else if (first.type == "VP8 " || first.type == "VP8L") {
        vp8x = NewVp8x(file, first, layout);
    }
    if (vp8x.empty()) {
        return RefusedEdit("the file does not begin with a WebP image header this edit knows");
    }
    if (size > UINT32_MAX / 2) {
        return RefusedEdit("the WebP file is too large for its RIFF size to grow");
    }
    if (layout.exif == nullptr) {
        return AddNewTiff(file, size, original, position, [&](const std::string& tiff) {
            return WithExifChunk(layout, size, vp8x, ChunkBytes("EXIF", tiff));
        });
    }
    const Chunk& exif = *layout.exif;
    const size_t prefix =
        exif.size >= 6 && std::memcmp(file + exif.payload, kExifId, 6) == 0 ? 6 : 0;
    const std::string kept(reinterpret_cast<const char*>(file) + exif.payload, prefix);
    const auto wrap = [&](const std::string& newTiff, size_t) {
        return WithExifChunk(layout, size, vp8x, ChunkBytes("EXIF", kept + newTiff));
    };
    return EditEmbeddedTiff(file, size, file + exif.payload + prefix, exif.size - prefix, original,
                            position, false, wrap);
}
