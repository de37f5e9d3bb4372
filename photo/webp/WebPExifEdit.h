// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing a position into a WebP file: its "EXIF" chunk is replaced by one with the edited Exif
// data (the append-only TIFF edit), or a new one is added after the image data, a "VP8X" chunk
// made from a simple file's image header where there is none, with its Exif flag set; the RIFF
// size follows. Every other chunk stays as it was, byte for byte. Animated files alike.

#include <cstddef>

#include "photo/PhotoEdit.h"

// Edits the `size` bytes of a WebP file, from which Exiv2 read `original`, so that its GPS IFD
// holds `position`. Refuses, with the reason: a RIFF size other than the file's, chunks that do
// not fill it exactly, a first chunk other than VP8X, "VP8 " or "VP8L" (or an image header too
// short for its size), two EXIF chunks, Exif data without a TIFF header, and what the TIFF edit
// refuses or does not read back (EditEmbeddedTiff).
PhotoEdit EditWebPGps(const unsigned char* file, size_t size, const Exiv2::Image& original,
                      const GpsPosition& position);
