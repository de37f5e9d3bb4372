// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where the header of a JPEG file ends: the segments before the compressed image data, which
// hold its metadata.

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

// Walks the segment chain from the start-of-image marker, following each segment's length,
// to the first start-of-scan segment. Fill bytes (0xFF runs) before a marker are allowed.
// Anything else gives Unsplittable: a missing start-of-image marker, a byte other than 0xFF
// where a marker belongs, a marker without a length (restart, end of image, a second start of
// image) or a length below 2. Reads only the `size` bytes at `data`.
HeaderLayout ScanJpegHeader(const unsigned char* data, size_t size);
