// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/KmzArchive.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <vector>

namespace {

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kMaxComment = 65535;

uint32_t Little(const unsigned char* at, size_t bytes) {
    uint32_t value = 0;
    for (size_t i = bytes; i > 0; --i) {
        value = value << 8 | at[i - 1];
    }
    return value;
}

// Exactly `size` bytes at `offset`, or none.
bool ReadAt(int fd, uint64_t offset, size_t size, std::vector<unsigned char>& bytes) {
    bytes.resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            pread(fd, bytes.data() + done, size - done, static_cast<off_t>(offset + done));
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

struct Entry {
    uint16_t method = 0;
    uint64_t compressedSize = 0;
    uint64_t size = 0;
    uint64_t headerOffset = 0;
};

// The central directory's entry for the first KML document.
std::string FindKml(int fd, uint64_t fileSize, Entry& found) {
    const size_t tail =
        static_cast<size_t>(std::min<uint64_t>(fileSize, kEndRecordSize + kMaxComment));
    std::vector<unsigned char> bytes;
    if (tail < kEndRecordSize || !ReadAt(fd, fileSize - tail, tail, bytes)) {
        return "not a zip archive";
    }
    size_t end = tail - kEndRecordSize + 1;
    while (end > 0 && Little(&bytes[end - 1], 4) != kEndOfDirectory) {
        --end;
    }
    if (end == 0) {
        return "not a zip archive";
    }
    const unsigned char* record = &bytes[end - 1];
    const uint64_t entries = Little(record + 10, 2);
    const uint64_t directorySize = Little(record + 12, 4);
    const uint64_t directoryOffset = Little(record + 16, 4);
    if (directoryOffset + directorySize > fileSize || directorySize > (uint64_t{64} << 20)) {
        return "not a zip archive";
    }
    std::vector<unsigned char> directory;
    if (!ReadAt(fd, directoryOffset, static_cast<size_t>(directorySize), directory)) {
        return "not a zip archive";
    }
    size_t at = 0;
    for (uint64_t n = 0; n < entries && at + 46 <= directory.size(); ++n) {
        const unsigned char* entry = &directory[at];
        if (Little(entry, 4) != kDirectoryEntry) {
            return "not a zip archive";
        }
        const size_t nameLength = Little(entry + 28, 2);
        const size_t skip = 46 + nameLength + Little(entry + 30, 2) + Little(entry + 32, 2);
        if (at + 46 + nameLength > directory.size()) {
            break;
        }
        const std::string name(reinterpret_cast<const char*>(entry + 46), nameLength);
        if (name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".kml") == 0) {
            found.method = static_cast<uint16_t>(Little(entry + 10, 2));
            found.compressedSize = Little(entry + 20, 4);
            found.size = Little(entry + 24, 4);
            found.headerOffset = Little(entry + 42, 4);
            return std::string();
        }
        at += skip;
    }
    return "no KML document in the archive";
}

std::string Inflate(const std::vector<unsigned char>& packed, uint64_t maxBytes, std::string& kml) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
        return "the KML document is damaged";
    }
    stream.next_in = const_cast<unsigned char*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    std::vector<unsigned char> out(size_t{1} << 16);
    int result = Z_OK;
    while (result == Z_OK) {
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        result = inflate(&stream, Z_NO_FLUSH);
        kml.append(reinterpret_cast<const char*>(out.data()), out.size() - stream.avail_out);
        if (kml.size() > maxBytes) {
            inflateEnd(&stream);
            return "the KML document is too large";
        }
        if (result == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) {
            result = Z_DATA_ERROR;  // the data ended before the stream did
        }
    }
    inflateEnd(&stream);
    return result == Z_STREAM_END ? std::string() : "the KML document is damaged";
}

}  // namespace

std::string ExtractKml(int fd, uint64_t maxBytes, std::string& kml) {
    kml.clear();
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return "not a zip archive";
    }
    const uint64_t fileSize = static_cast<uint64_t>(info.st_size);
    Entry entry;
    const std::string missing = FindKml(fd, fileSize, entry);
    if (!missing.empty()) {
        return missing;
    }
    std::vector<unsigned char> header;
    if (!ReadAt(fd, entry.headerOffset, 30, header) || Little(header.data(), 4) != kLocalHeader) {
        return "the KML document is damaged";
    }
    const uint64_t dataOffset =
        entry.headerOffset + 30 + Little(&header[26], 2) + Little(&header[28], 2);
    if (dataOffset + entry.compressedSize > fileSize) {
        return "the KML document is damaged";
    }
    if (entry.method == 0 && entry.compressedSize > maxBytes) {
        return "the KML document is too large";
    }
    std::vector<unsigned char> packed;
    if (!ReadAt(fd, dataOffset, static_cast<size_t>(std::min(entry.compressedSize, maxBytes)),
                packed)) {
        return "the KML document is damaged";
    }
    if (entry.method == 0) {
        kml.assign(packed.begin(), packed.end());
        return std::string();
    }
    if (entry.method != 8) {
        return "the KML document is damaged";
    }
    return Inflate(packed, maxBytes, kml);
}
