// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a new file is made of: pieces in order, each given bytes or a range of the original.

#include <cstdint>
#include <string>
#include <vector>

struct ContentPiece {
    bool fromOriginal = false;  // a range of the original; otherwise `bytes`
    uint64_t offset = 0;        // fromOriginal: where the range begins
    uint64_t length = 0;        // fromOriginal: how many bytes it holds
    std::string bytes;
};

using NewContent = std::vector<ContentPiece>;

inline ContentPiece GivenBytes(std::string bytes) {
    ContentPiece piece;
    piece.bytes = std::move(bytes);
    return piece;
}

inline ContentPiece OriginalRange(uint64_t offset, uint64_t length) {
    ContentPiece piece;
    piece.fromOriginal = true;
    piece.offset = offset;
    piece.length = length;
    return piece;
}

// The size of the file that `content` makes.
inline uint64_t ContentSize(const NewContent& content) {
    uint64_t size = 0;
    for (const ContentPiece& piece : content) {
        size += piece.fromOriginal ? piece.length : piece.bytes.size();
    }
    return size;
}
