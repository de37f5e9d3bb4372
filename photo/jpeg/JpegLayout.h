// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the header of a JPEG file, the segments before the compressed image data, ends.

#include <cstddef>

enum class HeaderScan {
    Found,         // the start-of-scan segment ends at `end`
    NeedMore,      // the bytes given end before the start-of-scan segment does
    Unsplittable,  // not a plain chain of segments up to a start of scan
};

struct HeaderLayout {
    HeaderScan scan = HeaderScan::Unsplittable;
    size_t end = 0;  // with Found: the offset just past the start-of-scan segment
};

// Follows the segment lengths to the first start of scan, allowing 0xFF fill before a marker;
// anything else is Unsplittable. Reads only the `size` bytes at `data`.
HeaderLayout ScanJpegHeader(const unsigned char* data, size_t size);
