// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changing the GPS tags of Exif TIFF data by appending only: a new IFD0, the same entries with
// the GPSInfo pointer set, and a new GPS IFD go after the existing data, and the TIFF header
// is pointed at the new IFD0. No existing byte but the header's IFD0 offset changes, so every
// offset into the data (the Exif IFD, maker notes, IFD1 and the thumbnail, the values of the
// IFD0 entries) stays valid. Data that an earlier such edit appended is recognised and
// written over, so that editing again does not make the data grow.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "photo/exif/GpsTags.h"

// One IFD entry as the data holds it; `field` is the value or its offset, in the data's order.
struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    unsigned char field[4] = {0, 0, 0, 0};
};

// What an edit needs of the TIFF data: its byte order, IFD0 and the GPS IFD.
struct TiffGpsLayout {
    bool bigEndian = false;
    uint32_t ifd0 = 0;  // offset of IFD0
    std::vector<TiffEntry> ifd0Entries;
    uint32_t ifd0Next = 0;  // offset of IFD1, or 0
    bool hasGps = false;    // IFD0 points at a GPS IFD (it may hold a GPSInfo entry that does not)
    uint32_t gpsOffset = 0;
    std::vector<TiffEntry> gpsEntries;
    // Where an earlier edit's IFD0 and GPS IFD begin, when they lie at the end of the data with
    // nothing but their own values and zeros after them, and nothing else is known to point
    // there: an edit may write over everything from here on.
    std::optional<uint32_t> reusableFrom;
    size_t reusableEnd = 0;  // with reusableFrom: where its IFDs and values end (zeros after)
};

// Reads the TIFF header, IFD0 and, when IFD0 points at one, the GPS IFD of `size` bytes of
// TIFF data. Returns false with the reason for a header that is neither "II*\0" nor "MM\0*", an
// IFD0 or GPS IFD that does not lie wholly inside the data, a GPSInfo entry that holds not one
// offset but several, and IFD0 naming the GPS IFD more than once. A GPSInfo entry of a type that
// holds no offset, or without a value, names no GPS IFD (image readers read none there).
bool ReadTiffGpsLayout(const unsigned char* tiff, size_t size, TiffGpsLayout& layout,
                       std::string& problem);

// True when the GPS IFD holds each of `entries` exactly once, with the same type, count and
// value.
bool HoldsGpsEntries(const unsigned char* tiff, size_t size, const TiffGpsLayout& layout,
                     const std::vector<GpsEntry>& entries);

// The TIFF data with `entries` written: the first `base` bytes (base at most `size`; the whole
// data, or layout.reusableFrom), a zero byte when `base` is odd, then the new IFD0 (IFD0's
// entries in their order with the GPSInfo entry pointing at the new GPS IFD, the same next
// IFD), the new GPS IFD (the entries of the old one whose tags are not written, in their
// places, and `entries`, in tag order) and the values of `entries` that do not fit into their
// fields. The header's IFD0 offset points at the new IFD0. Entries kept keep their offsets.
// Returns nothing when the new IFD0 or GPS IFD would have more entries than an IFD can count.
std::optional<std::string> WriteGpsIfds(const unsigned char* tiff, size_t size,
                                        const TiffGpsLayout& layout,
                                        const std::vector<GpsEntry>& entries, size_t base);

// TIFF data for a photo without any: a little-endian header, an IFD0 with only the GPSInfo
// entry, and the GPS IFD with `entries`.
std::string NewTiffWithGps(const std::vector<GpsEntry>& entries);
