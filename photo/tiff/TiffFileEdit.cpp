// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/tiff/TiffFileEdit.h"

#include <cstdint>
#include <cstring>

#include "photo/EmbeddedExif.h"

namespace {

// Room past the end of the file for the new IFDs and their values, whose offsets are 32 bits.
constexpr size_t kAppendRoom = 1 << 20;

bool IsBigTiff(const unsigned char* file, size_t size) {
    return size >= 4 && (std::memcmp(file, "II+\0", 4) == 0 || std::memcmp(file, "MM\0+", 4) == 0);
}

}  // namespace

PhotoEdit EditTiffFileGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                          const GpsPosition& position) {
    if (IsBigTiff(file, size)) {
        return SidecarInstead("a BigTIFF file, whose 64-bit offsets the edit does not write");
    }
    if (size > UINT32_MAX - kAppendRoom) {
        return SidecarInstead("the TIFF file is too large for its offsets to reach past its end");
    }
    const auto wrap = [size](const std::string& newTiff, size_t base) {
        const size_t kept = base < size ? base : size;
        return NewContent{OriginalRange(0, 4), GivenBytes(newTiff.substr(4, 4)),
                          OriginalRange(8, kept - 8), GivenBytes(newTiff.substr(kept))};
    };
    return EditEmbeddedTiff(file, size, file, size, original, position, true, wrap);
}
