// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/XmpSidecar.h"

#include <strings.h>

#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <map>

#include "photo/exif/GpsTags.h"
#include "platform/NumberText.h"

namespace {

const char* const kRawExtensions[] = {"dng", "cr2", "crw", "nef", "nrw", "arw", "srf", "sr2",
                                      "orf", "rw2", "raf", "pef", "srw", "mrw", "3fr", "erf",
                                      "mef", "mos", "iiq", "rwl", "kdc", "dcr", "cr3", "x3f"};

const char kLatitude[] = "Xmp.exif.GPSLatitude";
const char kLongitude[] = "Xmp.exif.GPSLongitude";
const char kAltitude[] = "Xmp.exif.GPSAltitude";
const char kAltitudeRef[] = "Xmp.exif.GPSAltitudeRef";
const char kVersion[] = "Xmp.exif.GPSVersionID";

bool IsGpsKey(const std::string& key) {
    return key == kLatitude || key == kLongitude || key == kAltitude || key == kAltitudeRef ||
           key == kVersion;
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The existing spelling of `wanted` among `names`, matched in any letter case; an exact match
// wins over one that differs in case.
bool FindName(const std::vector<std::string>& names, const std::string& wanted,
              std::string& found) {
    if (std::find(names.begin(), names.end(), wanted) != names.end()) {
        found = wanted;
        return true;
    }
    const auto it = std::find_if(names.begin(), names.end(),
                                 [&wanted](const std::string& n) { return SameName(n, wanted); });
    if (it == names.end()) {
        return false;
    }
    found = *it;
    return true;
}

// Every property but the GPS ones, by key, as text.
std::map<std::string, std::string> OtherProperties(const Exiv2::XmpData& xmp) {
    std::map<std::string, std::string> properties;
    for (const Exiv2::Xmpdatum& datum : xmp) {
        if (!IsGpsKey(datum.key())) {
            properties[datum.key()] += datum.toString() + '\n';
        }
    }
    return properties;
}

std::string Text(const Exiv2::XmpData& xmp, const char* key) {
    const auto it = xmp.findKey(Exiv2::XmpKey(key));
    return it == xmp.end() ? std::string() : it->toString();
}

// Sets the position's properties; the altitude ones only when the point has an elevation.
void SetPosition(Exiv2::XmpData& xmp, const GeoPosition& point) {
    xmp[kLatitude] = XmpGpsCoordinate(point.latitude, 'N', 'S');
    xmp[kLongitude] = XmpGpsCoordinate(point.longitude, 'E', 'W');
    xmp[kVersion] = "2.0.0.0";
    const int32_t elevation = TruncateToInt32(point.elevation);
    if (elevation == -9999) {
        return;
    }
    xmp[kAltitude] = FormatC(100, "%lld/1", static_cast<long long>(std::llabs(int64_t{elevation})));
    if (elevation < 0) {
        xmp[kAltitudeRef] = "1";
    } else if (Text(xmp, kAltitudeRef) == "1") {
        xmp[kAltitudeRef] = "0";
    }
}

bool SamePosition(const Exiv2::XmpData& a, const Exiv2::XmpData& b) {
    for (const char* key : {kLatitude, kLongitude, kAltitude, kAltitudeRef, kVersion}) {
        if (Text(a, key) != Text(b, key)) {
            return false;
        }
    }
    return true;
}

SidecarUpdate Refuse(const std::string& reason) {
    SidecarUpdate update;
    update.reason = reason;
    return update;
}

}  // namespace

bool IsRawName(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) {
        return false;
    }
    const std::string extension = name.substr(dot + 1);
    return std::any_of(std::begin(kRawExtensions), std::end(kRawExtensions),
                       [&extension](const char* raw) { return SameName(extension, raw); });
}

std::string NameStem(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

std::string ChooseSidecarName(const std::string& rawName,
                              const std::vector<std::string>& folderNames, bool stemShared,
                              bool& exists) {
    std::string found;
    exists = FindName(folderNames, rawName + ".xmp", found) ||
             FindName(folderNames, NameStem(rawName) + ".xmp", found);
    if (exists) {
        return found;
    }
    return stemShared ? rawName + ".xmp" : NameStem(rawName) + ".xmp";
}

std::string XmpGpsCoordinate(double value, char positive, char negative) {
    long degrees = 0;
    long minutes = 0;
    long hundredths = 0;
    std::sscanf(FormatGpsCoordinate(value).c_str(), "%ld/1 %ld/1 %ld/100", &degrees, &minutes,
                &hundredths);
    const double decimalMinutes =
        static_cast<double>(minutes) + static_cast<double>(hundredths) / 6000.0;
    return FormatC(100, "%ld,%09.6f%c", degrees, decimalMinutes, value > 0 ? positive : negative);
}

bool SidecarHasPosition(const std::string& text) {
    try {
        Exiv2::XmpData xmp;
        return Exiv2::XmpParser::decode(xmp, text) == 0 && !Text(xmp, kLatitude).empty() &&
               !Text(xmp, kLongitude).empty();
    } catch (const std::exception&) {
        return false;
    }
}

SidecarUpdate UpdateSidecar(const std::string& existing, const GeoPosition& point) {
    try {
        Exiv2::XmpData before;
        if (!existing.empty() && Exiv2::XmpParser::decode(before, existing) != 0) {
            return Refuse("its XMP cannot be parsed");
        }
        Exiv2::XmpData after = before;
        SetPosition(after, point);
        if (!existing.empty() && SamePosition(before, after)) {
            SidecarUpdate update;
            update.change = SidecarChange::AlreadyHeld;
            return update;
        }
        std::string text;
        if (Exiv2::XmpParser::encode(text, after, Exiv2::XmpParser::useCompactFormat) != 0) {
            return Refuse("its XMP cannot be written");
        }
        Exiv2::XmpData reread;
        if (Exiv2::XmpParser::decode(reread, text) != 0 ||
            OtherProperties(reread) != OtherProperties(before) || !SamePosition(reread, after)) {
            return Refuse("its other content would not read back the same");
        }
        SidecarUpdate update;
        update.change = SidecarChange::Written;
        update.text = std::move(text);
        return update;
    } catch (const std::exception& e) {
        return Refuse(e.what());
    }
}
