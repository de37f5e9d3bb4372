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

// RAW formats whose files are built here byte by byte, after the layouts their makers use.
enum class RawFormat {
    Orf,  // Olympus: TIFF structure under the "IIRO" mark
    Rw2,  // Panasonic: TIFF structure under the "IIU\0" mark, its first IFD after a 24-byte header
    Raf,  // Fujifilm: the RAF container, its Exif in the embedded JPEG, a TIFF as its CFA part
};

// The usual extension of `format`, upper case, without the dot ("ORF").
const char* RawExtension(RawFormat format);

// A small file of `format` at `path` whose Exif DateTimeOriginal and DateTimeDigitized read
// `captured` ("2007:06:01 12:05:30"), its make "Fenrik test camera".
void WriteRawFile(const std::string& path, RawFormat format, const std::string& captured);

// A Canon CR3 as far as its metadata goes: an ISO base media file of brand "crx " whose Canon
// box holds the TIFF of IFD0 (CMT1) and of the Exif IFD with DateTimeDigitized `captured` (CMT2).
// The image library reads it once its ISO base media support is on (InitialiseImageLibrary).
void WriteCr3(const std::string& path, const std::string& captured);

// Every XMP property of the sidecar at `path`, by key, as text.
std::map<std::string, std::string> ReadSidecar(const std::string& path);

// A darktable sidecar: rating 4, label "Red" and an editing history of two steps
// (Xmp.darktable.history[2]/darktable:operation is "colorin").
const char* DarktableSidecar();
