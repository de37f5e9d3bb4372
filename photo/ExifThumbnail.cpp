// SPDX-License-Identifier: GPL-3.0-or-later
#include "photo/ExifThumbnail.h"

#include <exiv2/exiv2.hpp>

#include "photo/PhotoFacts.h"
#include "photo/exif/Exiv2Messages.h"

std::string ReadExifThumbnail(const std::string& path) {
    InitialiseImageLibrary();
    Exiv2MessageCapture quiet;
    try {
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        const Exiv2::ExifThumbC thumbnail(image->exifData());
        const Exiv2::DataBuf data = thumbnail.copy();
        return std::string(reinterpret_cast<const char*>(data.pData_),
                           static_cast<size_t>(data.size_));
    } catch (...) {
        return std::string();
    }
}
