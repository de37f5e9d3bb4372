// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/heif/HeifBoxes.h"

#include "photo/ByteFields.h"

namespace {

// Reads fields one after another inside [at, end), remembering whether any did not fit.
struct FieldReader {
    const unsigned char* data;
    uint64_t at;
    uint64_t end;
    bool fits = true;

    uint64_t Read(size_t bytes) {
        if (!fits || end - at < bytes) {
            fits = false;
            return 0;
        }
        const uint64_t value = ReadBigEndian(data + at, bytes);
        at += bytes;
        return value;
    }
};

bool IsFieldSize(unsigned size) {
    return size == 0 || size == 4 || size == 8;
}

bool ReadItemLocation(FieldReader& reader, unsigned version, const ItemLocations& locations,
                      ItemLocation& item) {
    item.id = static_cast<uint32_t>(reader.Read(version < 2 ? 2 : 4));
    if (version >= 1) {
        item.constructionMethod = static_cast<unsigned>(reader.Read(2) & 0xF);
    }
    item.dataReference = static_cast<unsigned>(reader.Read(2));
    item.baseField = reader.at;
    item.baseOffset = reader.Read(locations.baseOffsetSize);
    const uint64_t extents = reader.Read(2);
    for (uint64_t n = 0; n < extents && reader.fits; ++n) {
        if (version >= 1) {
            reader.Read(locations.indexSize);
        }
        ItemExtent extent;
        extent.offsetField = reader.at;
        extent.offset = reader.Read(locations.offsetSize);
        extent.length = reader.Read(locations.lengthSize);
        item.extents.push_back(extent);
    }
    return reader.fits;
}

}  // namespace

Status ReadBoxes(const unsigned char* data, uint64_t from, uint64_t to,
                 std::vector<BmffBox>& boxes) {
    boxes.clear();
    for (uint64_t at = from; at < to;) {
        BmffBox box;
        box.start = at;
        if (to - at < 8) {
            return Status::Unreadable("a box is cut short");
        }
        uint64_t size = ReadBigEndian(data + at, 4);
        box.type.assign(reinterpret_cast<const char*>(data + at + 4), 4);
        box.payload = at + 8;
        if (size == 1) {
            if (to - at < 16) {
                return Status::Unreadable("a box is cut short");
            }
            size = ReadBigEndian(data + at + 8, 8);
            box.payload = at + 16;
        }
        if (size == 0) {
            return Status::Unreadable("the box \"" + box.type + "\" runs to the end of the file");
        }
        if (size < box.payload - at || size > to - at) {
            return Status::Unreadable("the box \"" + box.type + "\" does not fit where it lies");
        }
        box.end = at + size;
        boxes.push_back(box);
        at = box.end;
    }
    return Status::Ok();
}

Status FindItemsOfType(const unsigned char* data, const BmffBox& iinf, const char* type,
                       std::vector<uint32_t>& items) {
    FieldReader reader{data, iinf.payload, iinf.end};
    const uint64_t version = reader.Read(1);
    reader.Read(3);
    const uint64_t count = reader.Read(version == 0 ? 2 : 4);
    std::vector<BmffBox> entries;
    if (!reader.fits || !ReadBoxes(data, reader.at, iinf.end, entries).ok()) {
        return Status::Unreadable("the item information does not fit in its box");
    }
    if (entries.size() < count) {
        return Status::Unreadable("the item information holds fewer entries than it counts");
    }
    for (const BmffBox& entry : entries) {
        FieldReader fields{data, entry.payload, entry.end};
        const uint64_t entryVersion = fields.Read(1);
        fields.Read(3);
        if (entry.type != "infe" || entryVersion < 2) {
            continue;  // no item type
        }
        const uint64_t id = fields.Read(entryVersion == 2 ? 2 : 4);
        fields.Read(2);  // protection index
        if (fields.fits && entry.end - fields.at >= 4 &&
            std::string(reinterpret_cast<const char*>(data + fields.at), 4) == type) {
            items.push_back(static_cast<uint32_t>(id));
        }
    }
    return Status::Ok();
}

Status ReadItemLocations(const unsigned char* data, const BmffBox& iloc, ItemLocations& locations) {
    FieldReader reader{data, iloc.payload, iloc.end};
    const unsigned version = static_cast<unsigned>(reader.Read(1));
    reader.Read(3);
    const unsigned sizes = static_cast<unsigned>(reader.Read(1));
    const unsigned moreSizes = static_cast<unsigned>(reader.Read(1));
    locations.offsetSize = sizes >> 4;
    locations.lengthSize = sizes & 0xF;
    locations.baseOffsetSize = moreSizes >> 4;
    locations.indexSize = version >= 1 ? moreSizes & 0xF : 0;
    if (version > 2 || !IsFieldSize(locations.offsetSize) || !IsFieldSize(locations.lengthSize) ||
        !IsFieldSize(locations.baseOffsetSize) || !IsFieldSize(locations.indexSize)) {
        return Status::Unreadable(
            "the item locations are of a version or field size the edit does not know");
    }
    const uint64_t count = reader.Read(version < 2 ? 2 : 4);
    for (uint64_t n = 0; n < count && reader.fits; ++n) {
        ItemLocation item;
        if (ReadItemLocation(reader, version, locations, item)) {
            locations.items.push_back(item);
        }
    }
    if (!reader.fits) {
        return Status::Unreadable("the item locations do not fit in their box");
    }
    return Status::Ok();
}
