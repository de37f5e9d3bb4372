// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchFiles.h"

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>

uint64_t WriteGeneratedGpx(const std::string& path, int64_t points, int64_t startUnixSeconds) {
    std::FILE* out = std::fopen(path.c_str(), "w");
    if (out == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    std::fputs(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"fenrik-bench\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><name>bench</name><trkseg>\n",
        out);
    for (int64_t i = 0; i < points; ++i) {
        const std::time_t t = static_cast<std::time_t>(startUnixSeconds + i);
        std::tm utc{};
        gmtime_r(&t, &utc);
        char stamp[32];
        std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%SZ", &utc);
        std::fprintf(out,
                     "<trkpt lat=\"%.6f\" lon=\"%.6f\"><ele>%.1f</ele><time>%s</time></trkpt>\n",
                     48.0 + static_cast<double>(i % 100000) * 1e-5,
                     11.0 + static_cast<double>(i % 70000) * 1e-5,
                     500.0 + static_cast<double>(i % 1000) / 10.0, stamp);
    }
    std::fputs("</trkseg></trk>\n</gpx>\n", out);
    const long size = std::ftell(out);
    std::fclose(out);
    return static_cast<uint64_t>(size);
}

std::string MakeTempFolder(const char* prefix) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    return pattern;
}

void RemoveFolder(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
