// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/heif/HeifExifEdit.h"

#include <cstdint>

#include "photo/ByteFields.h"
#include "photo/EmbeddedExif.h"
#include "photo/heif/HeifBoxes.h"

namespace {

// Room for what the edit adds to the Exif data: its new IFDs and their values.
constexpr uint64_t kGrowthRoom = 1 << 20;

// The Exif item as the edit needs it.
struct ExifItem {
    ItemLocations locations;
    const ItemLocation* item = nullptr;
    uint64_t start = 0;  // where its data lies in the file
    uint64_t length = 0;
    uint64_t tiffStart = 0;  // where its TIFF header lies
    uint64_t appendAt = 0;   // where the new "mdat" goes
};

bool Fits(uint64_t value, unsigned bytes) {
    return bytes == 8 || (bytes == 4 && value <= UINT32_MAX);
}

// The one box of `type` among `boxes`; empty text, or the problem.
std::string FindOne(const std::vector<BmffBox>& boxes, const char* type, const BmffBox*& found) {
    found = nullptr;
    for (const BmffBox& box : boxes) {
        if (box.type == type) {
            if (found != nullptr) {
                return std::string("the file holds two \"") + type + "\" boxes";
            }
            found = &box;
        }
    }
    return found != nullptr ? std::string() : std::string("the file has no \"") + type + "\" box";
}

// Why the Exif item is not kept as one extent of this file; empty when it is.
std::string StorageProblem(const ItemLocation& item) {
    if (item.constructionMethod == 1) {
        return "its Exif data is kept inside the metadata (idat)";
    }
    if (item.constructionMethod != 0) {
        return "its Exif data is built from other items";
    }
    if (item.dataReference != 0) {
        return "its Exif data lies in another file";
    }
    if (item.extents.size() != 1) {
        return "its Exif data lies in several pieces";
    }
    return std::string();
}

// Why the location fields cannot take the new offset and length; empty when they can.
std::string FieldProblem(const ItemLocations& sizes, uint64_t position, uint64_t length) {
    const unsigned offsetField = sizes.baseOffsetSize > 0 ? sizes.baseOffsetSize : sizes.offsetSize;
    if (!Fits(position, offsetField) || !Fits(length + kGrowthRoom, sizes.lengthSize) ||
        length > UINT32_MAX - kGrowthRoom) {
        return "the location fields of its Exif item are too small for the new offset or length";
    }
    return std::string();
}

// Why the Exif item's data is not Exif data the edit understands; empty when it is.
std::string DataProblem(const unsigned char* file, uint64_t size, ExifItem& exif) {
    const ItemExtent& extent = exif.item->extents[0];
    exif.start = exif.item->baseOffset + extent.offset;
    exif.length = extent.length;
    if (exif.start < exif.item->baseOffset || exif.start > size || exif.length < 4 ||
        exif.length > size - exif.start) {
        return "its Exif item lies outside the file";
    }
    const uint64_t headerOffset = ReadBigEndian(file + exif.start, 4);
    if (headerOffset > exif.length - 4 || exif.length - 4 - headerOffset < 8) {
        return "its Exif item does not hold a TIFF header where it says";
    }
    exif.tiffStart = exif.start + 4 + headerOffset;
    return std::string();
}

// Where the new "mdat" goes: over the last box when it is an earlier edit's, holding the Exif
// data and nothing any other item refers to; otherwise at the end.
uint64_t AppendPlace(const std::vector<BmffBox>& top, const ExifItem& exif, uint64_t size) {
    const BmffBox& last = top.back();
    if (last.type != "mdat" || last.payload != last.start + 8 || last.payload != exif.start ||
        last.end != exif.start + exif.length) {
        return size;
    }
    for (const ItemLocation& other : exif.locations.items) {
        for (const ItemExtent& extent : other.extents) {
            const uint64_t at = other.baseOffset + extent.offset;
            if (&other != exif.item && at + extent.length > last.start && at < last.end) {
                return size;
            }
        }
    }
    return last.start;
}

// Finds the one Exif item and checks that the edit can address it; the problem otherwise.
std::string LocateExifItem(const unsigned char* file, uint64_t size, ExifItem& exif) {
    std::vector<BmffBox> top;
    std::vector<BmffBox> inMeta;
    const BmffBox* meta = nullptr;
    const BmffBox* iinf = nullptr;
    const BmffBox* iloc = nullptr;
    Status read = ReadBoxes(file, 0, size, top);
    std::string problem = read.ok() ? FindOne(top, "meta", meta) : read.message();
    if (problem.empty()) {
        read = ReadBoxes(file, meta->payload + 4, meta->end, inMeta);
        problem = read.ok() ? FindOne(inMeta, "iinf", iinf) : read.message();
    }
    if (problem.empty()) {
        problem = FindOne(inMeta, "iloc", iloc);
    }
    if (!problem.empty()) {
        return problem;
    }
    std::vector<uint32_t> exifItems;
    read = FindItemsOfType(file, *iinf, "Exif", exifItems);
    if (read.ok()) {
        read = ReadItemLocations(file, *iloc, exif.locations);
    }
    if (!read.ok()) {
        return read.message();
    }
    if (exifItems.size() != 1) {
        return exifItems.empty() ? "the file holds no Exif item"
                                 : "the file holds several Exif items";
    }
    for (const ItemLocation& item : exif.locations.items) {
        if (item.id == exifItems[0]) {
            if (exif.item != nullptr) {
                return "its Exif item has two locations";
            }
            exif.item = &item;
        }
    }
    if (exif.item == nullptr) {
        return "its Exif item has no location";
    }
    if (!(problem = StorageProblem(*exif.item)).empty() ||
        !(problem = FieldProblem(exif.locations, size + 8, exif.item->extents[0].length)).empty() ||
        !(problem = DataProblem(file, size, exif)).empty()) {
        return problem;
    }
    exif.appendAt = AppendPlace(top, exif, size);
    return std::string();
}

// The item's location entry from its base offset field through its extent's length field, with
// the data at `position` and `length`.
std::string PatchedLocation(const unsigned char* file, const ExifItem& exif, uint64_t position,
                            uint64_t length) {
    const ItemLocations& sizes = exif.locations;
    const ItemExtent& extent = exif.item->extents[0];
    const uint64_t from = exif.item->baseField;
    const uint64_t to = extent.offsetField + sizes.offsetSize + sizes.lengthSize;
    std::string bytes(reinterpret_cast<const char*>(file) + from, to - from);
    auto* p = reinterpret_cast<unsigned char*>(&bytes[0]);
    const uint64_t offsetAt = extent.offsetField - from;
    if (sizes.baseOffsetSize > 0) {
        PutBigEndian(p, position, sizes.baseOffsetSize);
        PutBigEndian(p + offsetAt, 0, sizes.offsetSize);
    } else {
        PutBigEndian(p + offsetAt, position, sizes.offsetSize);
    }
    PutBigEndian(p + offsetAt + sizes.offsetSize, length, sizes.lengthSize);
    return bytes;
}

}  // namespace

PhotoEdit EditHeifGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                      const GpsPosition& position) {
    ExifItem exif;
    const std::string problem = LocateExifItem(file, size, exif);
    if (!problem.empty()) {
        return SidecarInstead(problem);
    }
    const auto wrap = [file, &exif](const std::string& newTiff, size_t) {
        std::string data(reinterpret_cast<const char*>(file) + exif.start,
                         exif.tiffStart - exif.start);
        data += newTiff;
        const uint64_t from = exif.item->baseField;
        const std::string location = PatchedLocation(file, exif, exif.appendAt + 8, data.size());
        return NewContent{
            OriginalRange(0, from), GivenBytes(location),
            OriginalRange(from + location.size(), exif.appendAt - from - location.size()),
            GivenBytes(BigEndianBytes(8 + data.size(), 4) + "mdat" + data)};
    };
    return EditEmbeddedTiff(file, size, file + exif.tiffStart,
                            exif.length - (exif.tiffStart - exif.start), original, position, false,
                            wrap);
}
