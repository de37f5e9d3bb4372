// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a JPEG header keeps its Exif data: the APP1 segment that begins with "Exif\0\0", or,
// in a photo without one, where a new one belongs.

#include <cstddef>
#include <string>

struct ExifSegmentPlace {
    bool found = false;    // the header has an Exif segment
    size_t start = 0;      // found: the offset of its marker; otherwise where a new one goes
    size_t end = 0;        // found: the offset just past it; otherwise equal to `start`
    size_t tiffStart = 0;  // found: where its TIFF data begins (after "Exif\0\0")
    std::string problem;   // why the header's Exif cannot be edited; empty when it can
};

// Follows the segments from the start-of-image marker to the start of scan, the end-of-image
// marker or the end of the bytes given, skipping stray bytes between segments as image
// readers do. A new segment goes after the start-of-image marker and the APP0 segments
// (JFIF, JFXX) that follow it directly, without stray bytes. Sets `problem` for bytes that do not
// begin as a JPEG does, for two Exif segments, for an APP1 segment that begins with "Exif" but not
// "Exif\0\0", and for an Exif segment too short for a TIFF header. Reads only the `size` bytes at
// `data`.
ExifSegmentPlace LocateExifSegment(const unsigned char* data, size_t size);
