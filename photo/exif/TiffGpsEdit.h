// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changing the GPS tags of Exif TIFF data by appending new IFDs, so that no offset into it changes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Status.h"

#include "photo/exif/GpsTags.h"

// `field` is the value or its offset, in the data's byte order.
struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    unsigned char field[4] = {0, 0, 0, 0};
};

struct TiffGpsLayout {
    bool bigEndian = false;
    uint32_t ifd0 = 0;  // offset of IFD0
    std::vector<TiffEntry> ifd0Entries;
    uint32_t ifd0Next = 0;  // offset of IFD1, or 0
    bool hasGps = false;    // IFD0 points at a GPS IFD (it may hold a GPSInfo entry that does not)
    uint32_t gpsOffset = 0;
    std::vector<TiffEntry> gpsEntries;
    // Where an earlier edit's IFD0 and GPS IFD begin, when nothing else lies or points past
    // there: an edit may write over everything from here on.
    std::optional<uint32_t> reusableFrom;
    size_t reusableEnd = 0;  // with reusableFrom: where its IFDs and values end (zeros after)
};

// Unreadable for a header other than "II*\0" or "MM\0*", an IFD outside the data, or a GPSInfo
// entry with several offsets or found twice; one holding no offset names no GPS IFD.
Status ReadTiffGpsLayout(const unsigned char* tiff, size_t size, TiffGpsLayout& layout);

// True when the GPS IFD holds each of `entries` exactly once, with the same type, count and value.
bool HoldsGpsEntries(const unsigned char* tiff, size_t size, const TiffGpsLayout& layout,
                     const std::vector<GpsEntry>& entries);

// The first `base` bytes (`size` or layout.reusableFrom), then the new IFD0 and GPS IFD with
// `entries` and the header pointed at them. Nothing when an IFD would have too many entries.
std::optional<std::string> WriteGpsIfds(const unsigned char* tiff, size_t size,
                                        const TiffGpsLayout& layout,
                                        const std::vector<GpsEntry>& entries, size_t base);

// Little-endian TIFF data with only the GPSInfo entry and `entries`, for a photo without any.
std::string NewTiffWithGps(const std::vector<GpsEntry>& entries);
