// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/exif/TiffGpsEdit.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint16_t kGpsInfoTag = 0x8825;
constexpr uint16_t kTiffLong = 4;
constexpr uint16_t kTiffSignedLong = 9;
constexpr uint16_t kTiffIfd = 13;
constexpr size_t kHeaderSize = 8;
constexpr size_t kEntrySize = 12;
constexpr uint32_t kMaxEntries = 0xFFFF;

// IFD0 tags whose value is an offset into the data: Exif IFD, interoperability IFD, sub-IFDs,
// strips and a JPEG thumbnail.
bool IsPointerTag(uint16_t tag) {
    return tag == 0x8769 || tag == 0xA005 || tag == 0x014A || tag == 0x0111 || tag == 0x0201;
}

// Bytes of one element of a field type; 0 for a type that TIFF does not define.
size_t ElementSize(uint16_t type) {
    switch (type) {
        case 1:
        case 2:
        case 6:
        case 7:
            return 1;
        case 3:
        case 8:
            return 2;
        case 4:
        case 9:
        case 11:
        case 13:
            return 4;
        case 5:
        case 10:
        case 12:
            return 8;
        default:
            return 0;
    }
}

// The unit that byte order swaps within an element: rationals swap each half.
size_t SwapUnit(uint16_t type) {
    return type == 5 || type == 10 ? 4 : ElementSize(type);
}

struct ByteOrder {
    bool big = false;

    uint32_t Get(const unsigned char* p, size_t bytes) const {
        uint32_t value = 0;
        for (size_t i = 0; i < bytes; ++i) {
            const size_t at = big ? i : bytes - 1 - i;
            value = value << 8 | p[at];
        }
        return value;
    }
    uint16_t Get16(const unsigned char* p) const { return static_cast<uint16_t>(Get(p, 2)); }
    uint32_t Get32(const unsigned char* p) const { return Get(p, 4); }
    void Put(unsigned char* p, uint32_t value, size_t bytes) const {
        for (size_t i = 0; i < bytes; ++i) {
            const size_t at = big ? bytes - 1 - i : i;
            p[at] = static_cast<unsigned char>(value >> (8 * i));
        }
    }
    // Big-endian bytes of values of `type` in this order, or the reverse.
    std::string Convert(std::string bytes, uint16_t type) const {
        const size_t unit = SwapUnit(type);
        if (!big && unit > 1) {
            for (size_t i = 0; i + unit <= bytes.size(); i += unit) {
                std::reverse(bytes.begin() + static_cast<ptrdiff_t>(i),
                             bytes.begin() + static_cast<ptrdiff_t>(i + unit));
            }
        }
        return bytes;
    }
};

// Bytes of an entry's value; 0 for an unknown type.
uint64_t ValueSize(const TiffEntry& entry) {
    return static_cast<uint64_t>(ElementSize(entry.type)) * entry.count;
}

size_t IfdSize(size_t entries) {
    return 2 + entries * kEntrySize + 4;
}

// Reads the count and entries of the IFD at `offset`; false when they do not fit.
bool ReadIfd(const unsigned char* tiff, size_t size, ByteOrder order, uint32_t offset,
             std::vector<TiffEntry>& entries) {
    if (offset < kHeaderSize || offset > size || size - offset < 2) {
        return false;
    }
    const size_t count = order.Get16(tiff + offset);
    if ((size - offset - 2) / kEntrySize < count) {
        return false;
    }
    entries.resize(count);
    const unsigned char* p = tiff + offset + 2;
    for (TiffEntry& entry : entries) {
        entry.tag = order.Get16(p);
        entry.type = order.Get16(p + 2);
        entry.count = order.Get32(p + 4);
        std::memcpy(entry.field, p + 8, 4);
        p += kEntrySize;
    }
    return true;
}

// The value's bytes in big-endian order; nothing when they do not lie inside the data.
std::optional<std::string> ValueOf(const unsigned char* tiff, size_t size, ByteOrder order,
                                   const TiffEntry& entry) {
    const uint64_t bytes = ValueSize(entry);
    if (bytes == 0 && entry.count != 0) {
        return std::nullopt;
    }
    const unsigned char* start = entry.field;
    if (bytes > 4) {
        const uint64_t offset = order.Get32(entry.field);
        if (offset + bytes > size) {
            return std::nullopt;
        }
        start = tiff + offset;
    }
    return order.Convert(std::string(reinterpret_cast<const char*>(start), bytes), entry.type);
}

// True when the entry's value, and what it points at when it is a known pointer, lies wholly
// before `limit`.
bool EndsBefore(const TiffEntry& entry, ByteOrder order, uint32_t limit) {
    const uint64_t bytes = ValueSize(entry);
    if (bytes == 0) {
        return entry.count == 0;
    }
    if (bytes > 4) {
        return order.Get32(entry.field) + bytes <= limit;
    }
    if (!IsPointerTag(entry.tag)) {
        return true;
    }
    return order.Get(entry.field, ElementSize(entry.type)) < limit;
}

bool AllZero(const unsigned char* data, size_t size) {
    return std::all_of(data, data + size, [](unsigned char byte) { return byte == 0; });
}

// See TiffGpsLayout::reusableFrom: IFD0 right before the GPS IFD, the GPS IFD's values either
// before IFD0 or right after the GPS IFD, and only zeros after those, whose start goes to `end`.
std::optional<uint32_t> FindReusable(const unsigned char* tiff, size_t size, ByteOrder order,
                                     const TiffGpsLayout& layout, size_t& reusableEnd) {
    const uint32_t from = layout.ifd0;
    const uint64_t gpsEnd = uint64_t{layout.gpsOffset} + IfdSize(layout.gpsEntries.size());
    if (!layout.hasGps || from % 2 != 0 ||
        layout.gpsOffset != from + IfdSize(layout.ifd0Entries.size()) || gpsEnd > size ||
        order.Get32(tiff + gpsEnd - 4) != 0 || layout.ifd0Next >= from) {
        return std::nullopt;
    }
    for (const TiffEntry& entry : layout.ifd0Entries) {
        if (entry.tag != kGpsInfoTag && !EndsBefore(entry, order, from)) {
            return std::nullopt;
        }
    }
    uint64_t blockEnd = gpsEnd;
    for (const TiffEntry& entry : layout.gpsEntries) {
        if (EndsBefore(entry, order, from)) {
            continue;
        }
        const uint64_t offset = order.Get32(entry.field);
        const uint64_t end = offset + ValueSize(entry);
        if (ValueSize(entry) == 0 || offset < gpsEnd || end > size) {
            return std::nullopt;
        }
        blockEnd = std::max(blockEnd, end);
    }
    if (!AllZero(tiff + blockEnd, size - blockEnd)) {
        return std::nullopt;
    }
    reusableEnd = static_cast<size_t>(blockEnd);
    return from;
}

Status ReadGpsIfd(const unsigned char* tiff, size_t size, ByteOrder order, TiffGpsLayout& layout) {
    const TiffEntry* pointer = nullptr;
    for (const TiffEntry& entry : layout.ifd0Entries) {
        if (entry.tag != kGpsInfoTag) {
            continue;
        }
        if (pointer != nullptr) {
            return Status::Unreadable("IFD0 names the GPS IFD twice");
        }
        pointer = &entry;
    }
    if (pointer == nullptr) {
        return Status::Ok();
    }
    // Image readers take an entry of any other type, or without a value, for no GPS IFD at all;
    // it is replaced.
    if ((pointer->type != kTiffLong && pointer->type != kTiffSignedLong &&
         pointer->type != kTiffIfd) ||
        pointer->count == 0) {
        return Status::Ok();
    }
    if (pointer->count != 1) {
        return Status::Unreadable("the GPS IFD pointer is not one offset");
    }
    layout.hasGps = true;
    layout.gpsOffset = order.Get32(pointer->field);
    if (!ReadIfd(tiff, size, order, layout.gpsOffset, layout.gpsEntries)) {
        return Status::Unreadable("the GPS IFD lies outside the Exif data");
    }
    return Status::Ok();
}

void PutEntry(unsigned char* p, ByteOrder order, const TiffEntry& entry) {
    order.Put(p, entry.tag, 2);
    order.Put(p + 2, entry.type, 2);
    order.Put(p + 4, entry.count, 4);
    std::memcpy(p + 8, entry.field, 4);
}

// Appends an IFD of `entries` with the next-IFD offset `next`.
void AppendIfd(std::string& out, ByteOrder order, const std::vector<TiffEntry>& entries,
               uint32_t next) {
    const size_t at = out.size();
    out.resize(at + IfdSize(entries.size()));
    unsigned char* p = reinterpret_cast<unsigned char*>(&out[at]);
    order.Put(p, static_cast<uint32_t>(entries.size()), 2);
    for (size_t i = 0; i < entries.size(); ++i) {
        PutEntry(p + 2 + i * kEntrySize, order, entries[i]);
    }
    order.Put(p + 2 + entries.size() * kEntrySize, next, 4);
}

// IFD0's entries with the GPSInfo entry pointing at `gpsOffset`: in the old one's place, or
// in tag order.
std::vector<TiffEntry> NewIfd0(const TiffGpsLayout& layout, ByteOrder order, uint32_t gpsOffset) {
    TiffEntry gps;
    gps.tag = kGpsInfoTag;
    gps.type = kTiffLong;
    gps.count = 1;
    order.Put(gps.field, gpsOffset, 4);
    std::vector<TiffEntry> entries = layout.ifd0Entries;
    for (TiffEntry& entry : entries) {
        if (entry.tag == kGpsInfoTag) {
            entry = gps;
            return entries;
        }
    }
    const auto after = std::find_if(entries.begin(), entries.end(),
                                    [](const TiffEntry& entry) { return entry.tag > kGpsInfoTag; });
    entries.insert(after, gps);
    return entries;
}

bool IsWritten(uint16_t tag, const std::vector<GpsEntry>& entries) {
    return std::any_of(entries.begin(), entries.end(),
                       [tag](const GpsEntry& entry) { return entry.tag == tag; });
}

// The new GPS IFD's entries at `gpsOffset`, and the values that follow it in `values`.
std::vector<TiffEntry> NewGpsIfd(const TiffGpsLayout& layout, ByteOrder order,
                                 const std::vector<GpsEntry>& written, uint32_t gpsOffset,
                                 std::string& values) {
    std::vector<TiffEntry> entries;
    for (const TiffEntry& entry : layout.gpsEntries) {
        if (!IsWritten(entry.tag, written)) {
            entries.push_back(entry);
        }
    }
    const uint32_t valuesAt =
        gpsOffset + static_cast<uint32_t>(IfdSize(entries.size() + written.size()));
    for (const GpsEntry& gps : written) {
        TiffEntry entry;
        entry.tag = gps.tag;
        entry.type = gps.type;
        entry.count = gps.count;
        const std::string bytes = order.Convert(gps.value, gps.type);
        if (bytes.size() <= 4) {
            std::memcpy(entry.field, bytes.data(), bytes.size());
        } else {
            order.Put(entry.field, valuesAt + static_cast<uint32_t>(values.size()), 4);
            values += bytes;
        }
        entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const TiffEntry& a, const TiffEntry& b) { return a.tag < b.tag; });
    return entries;
}

}  // namespace

Status ReadTiffGpsLayout(const unsigned char* tiff, size_t size, TiffGpsLayout& layout) {
    layout = TiffGpsLayout();
    const bool little = size >= kHeaderSize && std::memcmp(tiff, "II*\0", 4) == 0;
    const bool big = size >= kHeaderSize && std::memcmp(tiff, "MM\0*", 4) == 0;
    if (!little && !big) {
        return Status::Unreadable("the Exif data has no valid TIFF header");
    }
    layout.bigEndian = big;
    const ByteOrder order{big};
    layout.ifd0 = order.Get32(tiff + 4);
    if (!ReadIfd(tiff, size, order, layout.ifd0, layout.ifd0Entries) ||
        size - layout.ifd0 < IfdSize(layout.ifd0Entries.size())) {
        return Status::Unreadable("IFD0 lies outside the Exif data");
    }
    layout.ifd0Next = order.Get32(tiff + layout.ifd0 + IfdSize(layout.ifd0Entries.size()) - 4);
    if (Status gps = ReadGpsIfd(tiff, size, order, layout); !gps.ok()) {
        return gps;
    }
    layout.reusableFrom = FindReusable(tiff, size, order, layout, layout.reusableEnd);
    return Status::Ok();
}

bool HoldsGpsEntries(const unsigned char* tiff, size_t size, const TiffGpsLayout& layout,
                     const std::vector<GpsEntry>& entries) {
    const ByteOrder order{layout.bigEndian};
    for (const GpsEntry& wanted : entries) {
        size_t matches = 0;
        size_t present = 0;
        for (const TiffEntry& entry : layout.gpsEntries) {
            if (entry.tag != wanted.tag) {
                continue;
            }
            ++present;
            const std::optional<std::string> value = ValueOf(tiff, size, order, entry);
            matches += entry.type == wanted.type && entry.count == wanted.count && value &&
                       *value == wanted.value;
        }
        if (present != 1 || matches != 1) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> WriteGpsIfds(const unsigned char* tiff, size_t size,
                                        const TiffGpsLayout& layout,
                                        const std::vector<GpsEntry>& entries, size_t base) {
    const ByteOrder order{layout.bigEndian};
    std::string out(reinterpret_cast<const char*>(tiff), std::min(base, size));
    if (out.size() % 2 != 0) {
        out += '\0';
    }
    const uint32_t ifd0 = static_cast<uint32_t>(out.size());
    order.Put(reinterpret_cast<unsigned char*>(&out[4]), ifd0, 4);
    const bool hasPointer =
        std::any_of(layout.ifd0Entries.begin(), layout.ifd0Entries.end(),
                    [](const TiffEntry& entry) { return entry.tag == kGpsInfoTag; });
    const size_t ifd0Count = layout.ifd0Entries.size() + (hasPointer ? 0 : 1);
    const uint32_t gpsOffset = ifd0 + static_cast<uint32_t>(IfdSize(ifd0Count));
    std::string values;
    const std::vector<TiffEntry> gps = NewGpsIfd(layout, order, entries, gpsOffset, values);
    if (ifd0Count > kMaxEntries || gps.size() > kMaxEntries) {
        return std::nullopt;
    }
    AppendIfd(out, order, NewIfd0(layout, order, gpsOffset), layout.ifd0Next);
    AppendIfd(out, order, gps, 0);
    return out + values;
}

std::string NewTiffWithGps(const std::vector<GpsEntry>& entries) {
    const unsigned char header[kHeaderSize] = {'I', 'I', 42, 0, 8, 0, 0, 0};
    TiffGpsLayout empty;
    empty.ifd0 = kHeaderSize;
    return *WriteGpsIfds(header, kHeaderSize, empty, entries, kHeaderSize);
}
