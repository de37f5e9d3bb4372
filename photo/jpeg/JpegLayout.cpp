// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/jpeg/JpegLayout.h"

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kStartOfScan = 0xDA;

// Markers that stand alone, without a length: TEM, RST0..RST7, SOI and EOI.
bool HasNoLength(unsigned char marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD9);
}

HeaderLayout Result(HeaderScan scan, size_t end = 0) {
    HeaderLayout layout;
    layout.scan = scan;
    layout.end = end;
    return layout;
}

}  // namespace

HeaderLayout ScanJpegHeader(const unsigned char* data, size_t size) {
    if (size < 2) {
        return Result(HeaderScan::NeedMore);
    }
    if (data[0] != kMarkerPrefix || data[1] != kStartOfImage) {
        return Result(HeaderScan::Unsplittable);
    }
    size_t pos = 2;
    for (;;) {
        if (pos >= size) {
            return Result(HeaderScan::NeedMore);
        }
        if (data[pos] != kMarkerPrefix) {
            return Result(HeaderScan::Unsplittable);
        }
        while (pos < size && data[pos] == kMarkerPrefix) {
            ++pos;
        }
        if (pos + 3 > size) {
            return Result(HeaderScan::NeedMore);
        }
        const unsigned char marker = data[pos];
        if (HasNoLength(marker) || marker == 0x00) {
            return Result(HeaderScan::Unsplittable);
        }
        const size_t length = static_cast<size_t>(data[pos + 1]) << 8 | data[pos + 2];
        if (length < 2) {
            return Result(HeaderScan::Unsplittable);
        }
        const size_t next = pos + 1 + length;
        if (marker == kStartOfScan) {
            return next <= size ? Result(HeaderScan::Found, next) : Result(HeaderScan::NeedMore);
        }
        pos = next;
    }
}
