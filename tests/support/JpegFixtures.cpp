// SPDX-License-Identifier: GPL-3.0-or-later
#include "JpegFixtures.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <exiv2/exiv2.hpp>

#include <QColor>
#include <QImage>
#include <ctime>
#include <stdexcept>

void WritePlainJpeg(const std::string& path, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(90, 140, 200));
    if (!image.save(QString::fromStdString(path), "JPG", 80)) {
        throw std::runtime_error("cannot write " + path);
    }
}

void WriteJpegWithExif(const std::string& path, const std::map<std::string, std::string>& tags) {
    WritePlainJpeg(path);
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    Exiv2::ExifData exif;
    for (const auto& [key, value] : tags) {
        exif[key] = value;
    }
    image->setExifData(exif);
    image->writeMetadata();
}

std::map<std::string, std::string> ReadExif(const std::string& path) {
    auto image = Exiv2::ImageFactory::open(path);
    image->readMetadata();
    std::map<std::string, std::string> tags;
    for (const Exiv2::Exifdatum& datum : image->exifData()) {
        tags[datum.key()] = datum.toString();
    }
    return tags;
}

void SetLastWriteTime(const std::string& path, int year, int month, int day, int hour, int minute,
                      int second) {
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    const timespec times[2] = {{timegm(&utc), 0}, {timegm(&utc), 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::string BytesInMemory(Exiv2::Image& image) {
    Exiv2::BasicIo& io = image.io();
    io.open();
    std::string bytes(reinterpret_cast<const char*>(io.mmap(false)),
                      static_cast<size_t>(io.size()));
    io.munmap();
    io.close();
    return bytes;
}
