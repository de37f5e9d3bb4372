// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/WrittenContent.h"

#include "photo/PhotoFormat.h"

bool BeginsAsWrittenPhoto(std::string_view start) {
    for (const std::string_view prefix :
         {std::string_view("<?xpacket"), std::string_view("<x:xmpmeta")}) {
        if (start.substr(0, prefix.size()) == prefix) {
            return true;
        }
    }
    const PhotoFormat format =
        FormatOfContent(reinterpret_cast<const unsigned char*>(start.data()), start.size());
    return format != PhotoFormat::Unknown && format != PhotoFormat::BigTiff;
}
