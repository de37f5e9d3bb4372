// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small real JPEG files for the engine tests, and reading their Exif data back.

#include <map>
#include <string>

namespace Exiv2 {
class Image;
}

// Writes a small JPEG (Qt's encoder) with no metadata at all.
void WritePlainJpeg(const std::string& path, int width = 32, int height = 24);

// Writes a small JPEG carrying the given Exif entries (key -> value text, e.g.
// {"Exif.Photo.DateTimeDigitized", "2007:06:01 13:05:30"}).
void WriteJpegWithExif(const std::string& path, const std::map<std::string, std::string>& tags);

// The Exif entries of a file as key -> value text; empty when it has none.
std::map<std::string, std::string> ReadExif(const std::string& path);

// Sets a file's last-modification time to the given UTC calendar time.
void SetLastWriteTime(const std::string& path, int year, int month, int day, int hour, int minute,
                      int second);

// The bytes of an image that Exiv2 opened in memory, as it now holds them (after
// writeMetadata: the rewritten file).
std::string BytesInMemory(Exiv2::Image& image);
