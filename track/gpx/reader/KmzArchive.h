// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The KML document inside a KMZ file (a zip archive, Google Earth's packed KML). Reader process
// only: the archive's bytes are as untrusted as any track's.

#include <cstdint>
#include <string>

// Extracts the first entry whose name ends in ".kml" (in any letter case; "doc.kml" by
// convention), stored or deflated, from the zip archive open as `fd`, into `kml`, at most
// `maxBytes` of it. Returns why it cannot ("not a zip archive", "no KML document in the archive",
// "the KML document is damaged", "the KML document is too large"), or the empty text.
std::string ExtractKml(int fd, uint64_t maxBytes, std::string& kml);
