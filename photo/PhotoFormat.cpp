// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/PhotoFormat.h"

#include <strings.h>

#include <cstring>

#include "photo/jpeg/JpegLayout.h"

namespace {

struct NamedFormat {
    const char* extension;
    PhotoFormat format;
};

const NamedFormat kExtensions[] = {
    {".jpg", PhotoFormat::Jpeg},  {".jpeg", PhotoFormat::Jpeg}, {".tif", PhotoFormat::Tiff},
    {".tiff", PhotoFormat::Tiff}, {".heic", PhotoFormat::Heif}, {".heif", PhotoFormat::Heif},
    {".hif", PhotoFormat::Heif},  {".avif", PhotoFormat::Heif}, {".webp", PhotoFormat::WebP},
    {".png", PhotoFormat::Png},
};

// Brands of ISO base media files that hold still images or image sequences.
const char* const kImageBrands[] = {"mif1", "mif2", "msf1", "heic", "heix", "heim", "heis",
                                    "hevc", "hevx", "hevm", "hevs", "avif", "avis", "avio"};

bool StartsWith(const unsigned char* data, size_t size, const char* prefix, size_t length) {
    return size >= length && std::memcmp(data, prefix, length) == 0;
}

bool IsImageBrand(const unsigned char* brand) {
    for (const char* known : kImageBrands) {
        if (std::memcmp(brand, known, 4) == 0) {
            return true;
        }
    }
    return false;
}

// An "ftyp" box first whose major brand, or one of whose compatible brands (as far as the bytes
// given reach), is an image brand.
bool IsHeif(const unsigned char* data, size_t size) {
    if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0) {
        return false;
    }
    size_t box = static_cast<size_t>(data[0]) << 24 | static_cast<size_t>(data[1]) << 16 |
                 static_cast<size_t>(data[2]) << 8 | data[3];
    if (box < 16) {
        return false;
    }
    box = box < size ? box : size;
    if (IsImageBrand(data + 8)) {
        return true;
    }
    for (size_t at = 16; at + 4 <= box; at += 4) {
        if (IsImageBrand(data + at)) {
            return true;
        }
    }
    return false;
}

bool SameFamily(PhotoFormat named, PhotoFormat content) {
    return named == content || (named == PhotoFormat::Tiff && content == PhotoFormat::BigTiff);
}

}  // namespace

PhotoFormat FormatOfName(const std::string& name) {
    for (const NamedFormat& known : kExtensions) {
        const size_t length = std::strlen(known.extension);
        if (name.size() > length &&
            strcasecmp(name.c_str() + name.size() - length, known.extension) == 0) {
            return known.format;
        }
    }
    return PhotoFormat::Unknown;
}

PhotoFormat FormatOfContent(const unsigned char* data, size_t size) {
    if (StartsWith(data, size, "\xFF\xD8\xFF", 3)) {
        return PhotoFormat::Jpeg;
    }
    if (StartsWith(data, size, "II*\0", 4) || StartsWith(data, size, "MM\0*", 4)) {
        return PhotoFormat::Tiff;
    }
    if (StartsWith(data, size, "II+\0", 4) || StartsWith(data, size, "MM\0+", 4)) {
        return PhotoFormat::BigTiff;
    }
    if (StartsWith(data, size, "\x89PNG\r\n\x1A\n", 8)) {
        return PhotoFormat::Png;
    }
    if (StartsWith(data, size, "RIFF", 4) && size >= 12 && std::memcmp(data + 8, "WEBP", 4) == 0) {
        return PhotoFormat::WebP;
    }
    return IsHeif(data, size) ? PhotoFormat::Heif : PhotoFormat::Unknown;
}

const char* FormatName(PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Jpeg:
            return "JPEG";
        case PhotoFormat::Tiff:
            return "TIFF";
        case PhotoFormat::BigTiff:
            return "BigTIFF";
        case PhotoFormat::Heif:
            return "HEIF";
        case PhotoFormat::WebP:
            return "WebP";
        case PhotoFormat::Png:
            return "PNG";
        default:
            return "unknown";
    }
}

Status CheckPhotoContent(const std::string& name, const unsigned char* data, size_t size,
                         PhotoFormat& format) {
    const PhotoFormat named = FormatOfName(name);
    format = FormatOfContent(data, size);
    if (format == PhotoFormat::Unknown) {
        return Status::Unreadable(std::string("its content is not a ") + FormatName(named) +
                                  " file (nor any other photo format this program writes)");
    }
    if (!SameFamily(named, format)) {
        return Status::Unreadable(std::string("its name says ") + FormatName(named) +
                                  ", but its content is a " + FormatName(format) + " file");
    }
    if (format != PhotoFormat::Jpeg) {
        return Status::Ok();
    }
    switch (ScanJpegHeader(data, size).scan) {
        case HeaderScan::Found:
            return Status::Ok();
        case HeaderScan::NeedMore:
            return Status::Unreadable("the JPEG file ends before its image data begins");
        default:
            return Status::Unreadable(
                "not a well-formed JPEG file: its segments do not lead from the start of the "
                "image to its image data");
    }
}
