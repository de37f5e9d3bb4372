// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Unsigned fields of 1 to 8 bytes in big-endian or little-endian order, as container formats
// store their sizes and offsets.

#include <cstddef>
#include <cstdint>
#include <string>

inline uint64_t ReadBigEndian(const unsigned char* p, size_t bytes) {
    uint64_t value = 0;
    for (size_t i = 0; i < bytes; ++i) {
        value = value << 8 | p[i];
    }
    return value;
}

inline uint64_t ReadLittleEndian(const unsigned char* p, size_t bytes) {
    uint64_t value = 0;
    for (size_t i = bytes; i > 0; --i) {
        value = value << 8 | p[i - 1];
    }
    return value;
}

inline void PutBigEndian(unsigned char* p, uint64_t value, size_t bytes) {
    for (size_t i = bytes; i > 0; --i) {
        p[i - 1] = static_cast<unsigned char>(value & 0xFF);
        value >>= 8;
    }
}

inline std::string BigEndianBytes(uint64_t value, size_t bytes) {
    std::string out(bytes, '\0');
    PutBigEndian(reinterpret_cast<unsigned char*>(&out[0]), value, bytes);
    return out;
}

inline std::string LittleEndianBytes(uint64_t value, size_t bytes) {
    std::string out(bytes, '\0');
    for (size_t i = 0; i < bytes; ++i) {
        out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return out;
}
