// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small files with the structure of RAW photos, made by the image library, and sidecar reading.

#include <map>
#include <string>

// A TIFF-structured RAW file (DNG, NEF, ARW, PEF and most others are TIFF inside) holding the
// Exif `tags`, written at `path` whatever its extension; with `cr2`, a Canon CR2 one.
void WriteTiffRaw(const std::string& path, const std::map<std::string, std::string>& tags,
                  bool cr2 = false);

// A file the image library cannot read: the start of a Sigma X3F.
void WriteX3fStart(const std::string& path);

// Every XMP property of the sidecar at `path`, by key, as text.
std::map<std::string, std::string> ReadSidecar(const std::string& path);

// A darktable sidecar: rating 4, label "Red" and an editing history of two steps
// (Xmp.darktable.history[2]/darktable:operation is "colorin").
const char* DarktableSidecar();
