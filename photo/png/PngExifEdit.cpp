// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/png/PngExifEdit.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "photo/ByteFields.h"
#include "photo/EmbeddedExif.h"
#include "photo/png/PngText.h"

namespace {

constexpr size_t kSignature = 8;
constexpr uint64_t kMaxChunkData = 0x7FFFFFFF;
const char kRawProfileExif[] = "Raw profile type exif";
const char kExifId[] = "Exif\0\0";  // six bytes before the TIFF data in a raw profile

struct Chunk {
    std::string type;
    size_t start = 0;
    size_t data = 0;
    size_t length = 0;
    size_t end = 0;  // past its CRC
};

struct PngLayout {
    std::vector<Chunk> chunks;
    const Chunk* exif = nullptr;        // the eXIf chunk
    const Chunk* rawProfile = nullptr;  // the "Raw profile type exif" text chunk
    PngText profileText;
    const Chunk* firstIdat = nullptr;
};

uint32_t ChunkCrc(const std::string& typeAndData) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(typeAndData.data()),
                                       static_cast<uInt>(typeAndData.size())));
}

std::string ChunkBytes(const char* type, const std::string& data) {
    const std::string body = std::string(type, 4) + data;
    return BigEndianBytes(data.size(), 4) + body + BigEndianBytes(ChunkCrc(body), 4);
}

bool CrcHolds(const unsigned char* file, const Chunk& chunk) {
    const std::string body(reinterpret_cast<const char*>(file) + chunk.start + 4, chunk.length + 4);
    return ReadBigEndian(file + chunk.end - 4, 4) == ChunkCrc(body);
}

std::string ReadChunks(const unsigned char* file, size_t size, PngLayout& layout) {
    for (size_t at = kSignature; at < size;) {
        if (!layout.chunks.empty() && layout.chunks.back().type == "IEND") {
            return "bytes follow the PNG's end";
        }
        Chunk chunk;
        chunk.start = at;
        if (size - at < 12) {
            return "a chunk is cut short";
        }
        chunk.length = static_cast<size_t>(ReadBigEndian(file + at, 4));
        chunk.type.assign(reinterpret_cast<const char*>(file + at + 4), 4);
        chunk.data = at + 8;
        if (chunk.length > kMaxChunkData || chunk.length > size - at - 12) {
            return "the chunk \"" + chunk.type + "\" does not fit in the file";
        }
        chunk.end = chunk.data + chunk.length + 4;
        layout.chunks.push_back(chunk);
        at = chunk.end;
    }
    if (layout.chunks.empty() || layout.chunks.front().type != "IHDR" ||
        layout.chunks.back().type != "IEND") {
        return "the chunks do not run from IHDR to IEND";
    }
    return std::string();
}

bool IsTextChunk(const std::string& type) {
    return type == "tEXt" || type == "zTXt" || type == "iTXt";
}

// Finds the chunks that hold Exif data and the first IDAT; the problem, or empty.
std::string FindExif(const unsigned char* file, PngLayout& layout) {
    for (const Chunk& chunk : layout.chunks) {
        const unsigned char* data = file + chunk.data;
        const bool profile = IsTextChunk(chunk.type) && chunk.length > sizeof kRawProfileExif - 1 &&
                             std::memcmp(data, kRawProfileExif, sizeof kRawProfileExif) == 0;
        if (chunk.type == "eXIf" || profile) {
            if (layout.exif != nullptr || layout.rawProfile != nullptr) {
                return "the file holds two Exif records";
            }
            if (!CrcHolds(file, chunk)) {
                return "the CRC of the chunk that holds its Exif data is wrong";
            }
            (profile ? layout.rawProfile : layout.exif) = &chunk;
        }
        if (chunk.type == "IDAT" && layout.firstIdat == nullptr) {
            layout.firstIdat = &chunk;
        }
    }
    if (layout.rawProfile != nullptr &&
        !ReadPngText(layout.rawProfile->type, file + layout.rawProfile->data,
                     layout.rawProfile->length, layout.profileText)) {
        return "its Exif text chunk does not read";
    }
    return layout.firstIdat != nullptr ? std::string() : "the file has no image data (IDAT)";
}

// The file with `chunk` in place of `replaced`, or before `before` when nothing is replaced.
NewContent WithChunk(size_t size, const Chunk& at, bool replace, const std::string& chunk) {
    const size_t resume = replace ? at.end : at.start;
    return NewContent{OriginalRange(0, at.start), GivenBytes(chunk),
                      OriginalRange(resume, size - resume)};
}

PhotoEdit EditRawProfile(const unsigned char* file, size_t size, const PngLayout& layout,
                         const Exiv2::Image& original, const GpsPosition& position) {
    std::string name;
    std::string bytes;
    if (!ReadRawProfile(layout.profileText.text, name, bytes)) {
        return RefusedEdit("its Exif text chunk is not a raw profile");
    }
    const size_t prefix = bytes.compare(0, 6, kExifId, 6) == 0 ? 6 : 0;
    const auto wrap = [&](const std::string& newTiff, size_t) {
        PngText text = layout.profileText;
        text.text = WriteRawProfile(name, bytes.substr(0, prefix) + newTiff);
        return WithChunk(size, *layout.rawProfile, true,
                         ChunkBytes(text.type.c_str(), WritePngText(text)));
    };
    const auto* tiff = reinterpret_cast<const unsigned char*>(bytes.data()) + prefix;
    return EditEmbeddedTiff(file, size, tiff, bytes.size() - prefix, original, position, false,
                            wrap);
}

}  // namespace

PhotoEdit EditPngGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                     const GpsPosition& position) {
    PngLayout layout;
    std::string problem = size >= kSignature && std::memcmp(file, "\x89PNG\r\n\x1A\n", 8) == 0
                              ? ReadChunks(file, size, layout)
                              : "not a PNG file";
    if (problem.empty()) {
        problem = FindExif(file, layout);
    }
    if (!problem.empty()) {
        return RefusedEdit(problem);
    }
    if (layout.rawProfile != nullptr) {
        return EditRawProfile(file, size, layout, original, position);
    }
    if (layout.exif == nullptr) {
        return AddNewTiff(file, size, original, position, [&](const std::string& tiff) {
            return WithChunk(size, *layout.firstIdat, false, ChunkBytes("eXIf", tiff));
        });
    }
    const Chunk& exif = *layout.exif;
    const auto wrap = [&](const std::string& newTiff, size_t) {
        return WithChunk(size, exif, true, ChunkBytes("eXIf", newTiff));
    };
    return EditEmbeddedTiff(file, size, file + exif.data, exif.length, original, position, false,
                            wrap);
}
