// SPDX-License-Identifier: GPL-3.0-or-later
// The formats of other loggers (FIT, TCX, KML, NMEA, IGC and the rest of BabelFormats) as a track
// source: GPSBabel converts each file to GPX inside the GPX reader process, which reads it as
// any GPX. Without GPSBabel, each such file is reported as needing it.
#include "platform/FileHead.h"
#include "platform/Log.h"
#include "platform/PathText.h"
#include "track/TrackSource.h"
#include "track/gpx/BabelFormats.h"
#include "track/gpx/GpxReader.h"

namespace {

class BabelTrackSource : public TrackSource {
public:
    const char* Format() const override { return "GPSBabel"; }

    bool TakesName(const std::string& name) const override {
        return BabelFormatForName(name) != nullptr;
    }

    std::vector<std::string> Extensions() const override {
        std::vector<std::string> extensions;
        for (const BabelFormat& format : BabelFormats()) {
            extensions.push_back(format.extension);
        }
        return extensions;
    }

    bool TakesContent(std::string_view head) const override {
        return BabelFormatForContent(head) != nullptr;
    }

    TrackFileReport Read(const std::string& path, TrackLog& log,
                         const TrackReadOptions& options) const override {
        const BabelFormat* format = BabelFormatForName(FileNameOf(path));
        if (format == nullptr) {
            format = BabelFormatForContent(FileHead(path));
        }
        TrackFileReport report;
        report.format = format != nullptr ? format->label : "";
        if (format == nullptr) {  // the file changed since it was chosen
            report.status = Status::Unreadable("not a track file");
            Log::Instance().WriteAndTrace(Error, path + ": " + report.status.message());
            return report;
        }
        const std::string program = GpsBabelPath();
        if (program.empty()) {
            report.status = Status::Unreadable(std::string("reading .") + format->extension +
                                               " files needs GPSBabel (Debian package gpsbabel)");
            Log::Instance().WriteAndTrace(Error, path + ": " + report.status.message());
            return report;
        }
        return ReadConvertedFile(path, log, {program, format->name, format->label}, options);
    }
};

const TrackSourceRegistration<BabelTrackSource> registration;

}  // namespace
