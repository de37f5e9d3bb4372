// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/BabelFormats.h"

#include <strings.h>
#include <unistd.h>

#include <cstdlib>

namespace {

// Extensions that GPSBabel gives two readable formats (.csv, .txt, .xml, .bin, .dat, .log, .loc,
// .trl, .trk ...) are left out: the program could not tell which to ask for. So are GPX, the
// program's own, and .json and .jpg, which it reads itself. A .kmz file is a zip archive of KML,
// which the reader unpacks for GPSBabel ("kmz" is no GPSBabel format).
const std::vector<BabelFormat> kFormats = {
    {"fit", "garmin_fit", "FIT"},    {"tcx", "gtrnctr", "TCX"},     {"crs", "gtrnctr", "TCX"},
    {"hst", "gtrnctr", "TCX"},       {"kml", "kml", "KML"},         {"kmz", "kmz", "KMZ"},
    {"nmea", "nmea", "NMEA"},        {"igc", "igc", "IGC"},         {"anr", "saroute", "ANR"},
    {"asc", "tomtom_asc", "ASC"},    {"bcr", "bcr", "BCR"},         {"cpo", "energympro", "CPO"},
    {"cup", "cup", "CUP"},           {"dna", "dna", "DNA"},         {"ert", "enigma", "ERT"},
    {"gdb", "gdb", "GDB"},           {"gpi", "garmin_gpi", "GPI"},  {"gpl", "gpl", "GPL"},
    {"gps", "hiketech", "HikeTech"}, {"gtm", "gtm", "GTM"},         {"ht", "humminbird_ht", "HT"},
    {"hwr", "humminbird", "HWR"},    {"ikt", "ik3d", "IKT"},        {"map", "f90g", "F90G"},
    {"mmo", "mmo", "MMO"},           {"mxf", "mxf", "MXF"},         {"nav", "mainnav", "NAV"},
    {"osm", "osm", "OSM"},           {"ov2", "tomtom", "OV2"},      {"rdn", "ignrando", "RDN"},
    {"rwf", "raymarine", "RWF"},     {"sbn", "sbn", "SBN"},         {"sbp", "sbp", "SBP"},
    {"shp", "shape", "SHP"},         {"tes", "wintec_tes", "TES"},  {"tk1", "wbt-tk1", "TK1"},
    {"tpg", "tpg", "TPG"},           {"tr7", "mapasia_tr7", "TR7"}, {"trc", "mynav", "TRC"},
    {"upt", "magellanx", "UPT"},     {"usr", "lowranceusr", "USR"}, {"wpo", "holux", "WPO"},
    {"xol", "xol", "XOL"},
};

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

const BabelFormat* BabelFormatForName(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return nullptr;
    }
    const std::string extension(fileName.substr(dot + 1));
    for (const BabelFormat& format : kFormats) {
        if (strcasecmp(extension.c_str(), format.extension) == 0) {
            return &format;
        }
    }
    return nullptr;
}

const BabelFormat* BabelFormatForContent(std::string_view head) {
    // An NMEA 0183 log: sentences from a GPS ($GP), GLONASS ($GL), Galileo ($GA) or combined ($GN)
    // receiver, perhaps after a time stamp or a blank line.
    const size_t start = head.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return nullptr;
    }
    for (const char* talker : {"$GP", "$GN", "$GL", "$GA"}) {
        if (StartsWith(head.substr(start), talker)) {
            return BabelFormatForName("log.nmea");
        }
    }
    return nullptr;
}

const std::vector<BabelFormat>& BabelFormats() {
    return kFormats;
}

std::string GpsBabelPath() {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!folders.empty()) {
        const size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        folders = colon == std::string_view::npos ? std::string_view() : folders.substr(colon + 1);
        if (folder.empty()) {
            continue;
        }
        const std::string candidate = std::string(folder) + "/gpsbabel";
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::string();
}
