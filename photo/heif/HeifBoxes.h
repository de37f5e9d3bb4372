// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the boxes of an ISO base media file (HEIF, AVIF) that an edit of its Exif item needs:
// the boxes themselves, the item types (iinf) and the item locations (iloc), with where each
// location field lies in the file. Reads only the bytes given; never trusts a size.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Status.h"

struct BmffBox {
    std::string type;      // four characters
    uint64_t start = 0;    // where its size field begins
    uint64_t payload = 0;  // where its content begins (after the size, type and any 64-bit size)
    uint64_t end = 0;      // just past it
};

// The boxes that fill [from, to) of `data` exactly, in order. Unreadable for a box that does not
// fit, one too short for its header, and one whose size 0 means "to the end".
Status ReadBoxes(const unsigned char* data, uint64_t from, uint64_t to,
                 std::vector<BmffBox>& boxes);

// The item IDs whose item type (an "infe" box of version 2 or 3) is `type`, of the "iinf" box
// `iinf`. Unreadable when its entries do not fit.
Status FindItemsOfType(const unsigned char* data, const BmffBox& iinf, const char* type,
                       std::vector<uint32_t>& items);

struct ItemExtent {
    uint64_t offset = 0;
    uint64_t length = 0;
    uint64_t offsetField = 0;  // where its offset field lies in the file (length field after it)
};

struct ItemLocation {
    uint32_t id = 0;
    unsigned constructionMethod = 0;  // 0 file, 1 idat, 2 other items
    unsigned dataReference = 0;       // 0: this file
    uint64_t baseOffset = 0;
    uint64_t baseField = 0;  // where its base offset field lies
    std::vector<ItemExtent> extents;
};

struct ItemLocations {
    unsigned offsetSize = 0;  // bytes of each field: 0, 4 or 8
    unsigned lengthSize = 0;
    unsigned baseOffsetSize = 0;
    unsigned indexSize = 0;
    std::vector<ItemLocation> items;
};

// Reads the "iloc" box `iloc` (versions 0 to 2). Unreadable for another version, field sizes
// other than 0, 4 and 8, and entries that do not fit.
Status ReadItemLocations(const unsigned char* data, const BmffBox& iloc, ItemLocations& locations);
