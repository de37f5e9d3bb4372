// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchPhotos.h"

#include <exiv2/exiv2.hpp>

#include <QImage>
#include <ctime>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

std::string MakeTemplateJpeg(const std::string& path, int width, int height, int quality) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = 0xFF000000u | (random() & 0x3F3F3Fu) |
                      (static_cast<uint32_t>(x * 255 / width) << 16);
        }
    }
    image.save(QString::fromStdString(path), "JPG", quality);
    return path;
}

void MakePhotoFolder(const std::string& folder, const std::string& templ, int count, int spacing) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/IMG_" + std::to_string(10000 + i) + ".JPG";
        fs::copy_file(templ, path, fs::copy_options::overwrite_existing);
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        const std::time_t taken =
            static_cast<std::time_t>(kBenchDayStart + 30 + int64_t{i} * spacing);
        std::tm utc{};
        gmtime_r(&taken, &utc);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y:%m:%d %H:%M:%S", &utc);
        image->exifData()["Exif.Photo.DateTimeDigitized"] = stamp;
        image->exifData()["Exif.Photo.DateTimeOriginal"] = stamp;
        image->exifData()["Exif.Image.Make"] = "Bench";
        image->writeMetadata();
    }
}
