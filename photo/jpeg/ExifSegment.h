// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a JPEG header keeps its Exif data (APP1, "Exif\0\0"), or where a new segment belongs.

#include <cstddef>
#include <string>

struct ExifSegmentPlace {
    bool found = false;    // the header has an Exif segment
    size_t start = 0;      // found: the offset of its marker; otherwise where a new one goes
    size_t end = 0;        // found: the offset just past it; otherwise equal to `start`
    size_t tiffStart = 0;  // found: where its TIFF data begins (after "Exif\0\0")
    std::string problem;   // why the header's Exif cannot be edited; empty when it can
};

// A new segment goes after the start-of-image marker and the APP0 segments right after it. Sets
// `problem` for a start that is not a JPEG's, two Exif segments, an "Exif" APP1 without
// "Exif\0\0", or one too short for a TIFF header. Reads only the `size` bytes at `data`.
ExifSegmentPlace LocateExifSegment(const unsigned char* data, size_t size);
