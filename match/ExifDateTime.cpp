// SPDX-License-Identifier: GPL-3.0-or-later
#include "match/ExifDateTime.h"

#include "platform/FileTime.h"
#include "platform/NumberText.h"
#include "platform/Tokenize.h"

std::optional<uint64_t> ParseExifDateTime(const std::string& text) {
    int pos = 0;
    int fields[6];
    int present = 0;
    for (int& field : fields) {
        const std::string token = Tokenize(text, ": ", pos);
        present += token.empty() ? 0 : 1;
        field = CrtAtoi(token);
    }
    if (present <= 4) {
        return std::nullopt;
    }
    FILETIME ft;
    if (!CalendarFieldsToFileTime(fields, &ft)) {
        return std::nullopt;
    }
    return FileTimeToCount(ft);
}
