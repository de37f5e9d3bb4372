#include "engine/TaggingEngine.h"

#include <sys/stat.h>
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <exception>
#include <mutex>
#include <vector>

#include "engine/ExifDate.h"
#include "engine/ExifGpsEdit.h"
#include "engine/Exiv2Messages.h"
#include "engine/GpsTags.h"
#include "engine/GpxReader.h"
#include "engine/HotFolderFiles.h"
#include "engine/PhotoSource.h"
#include "platform/DebugOutput.h"
#include "platform/Log.h"
#include "platform/NumberText.h"

namespace {

// File systems that share data between files (reflinks) do so in blocks of this size: a new
// header as long as the original's, modulo this, lets the image data be shared.
constexpr size_t kSharedBlockSize = 4096;

void InitialiseExiv2Once() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::XmpParser::initialize();
        RouteExiv2Messages();
    });
}

// An image that cannot be tagged: reported, and left as it was.
void ReportImageError(const std::string& path, const std::string& what) {
    const std::string message = "Skipping " + path + ": " + what;
    Log::Instance().Write(Error, message);
    OutputDebugStringA(message + "\n");
}

void CountOutcome(RunSummary& summary, ImageOutcome outcome) {
    ++summary.checked;
    switch (outcome) {
        case ImageOutcome::Tagged:
            ++summary.tagged;
            break;
        case ImageOutcome::AlreadyTagged:
            ++summary.alreadyTagged;
            break;
        case ImageOutcome::NoMatch:
            ++summary.noMatch;
            break;
        case ImageOutcome::NoCaptureTime:
            ++summary.noCaptureTime;
            break;
        case ImageOutcome::Skipped:
            ++summary.skipped;
            break;
    }
}

// The tolerance in minutes, as the matching reads it from the settings' texts.
int64_t ToleranceMinutes(const LiveSettings& live) {
    return static_cast<int64_t>(CrtAtoi(live.m_ToleranceHours)) * 60 +
           CrtAtoi(live.m_ToleranceMinutes);
}

}  // namespace

TaggingEngine::TaggingEngine() {
    InitialiseExiv2Once();
}

const TrackPoint* TaggingEngine::FindBestMatch(uint64_t captureTime) {
    if (m_TrackLog.IsEmpty()) {
        return nullptr;
    }
    MatchQuery query;
    query.capture = static_cast<int64_t>(captureTime);
    query.tolerance = ToleranceUnits(m_Live->m_ToleranceHours, m_Live->m_ToleranceMinutes);
    query.bias = BiasUnits(m_Live->m_BiasInMinutes);
    ptrdiff_t best;
    if (Log::Instance().IsWritten(Debug)) {
        best = ScanForBestMatch(m_TrackLog, query, true);
    } else {
        m_Index.Prepare(m_TrackLog, query.bias);
        best = m_Index.FindBestMatch(query.capture, query.tolerance);
    }
    return best < 0 ? nullptr : &m_TrackLog.At(static_cast<size_t>(best));
}

void TaggingEngine::RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs) {
    events.RunStarted();
    RunSummary summary;
    summary.toleranceMinutes = ToleranceMinutes(*m_Live);
    summary.logWritten = Log::Instance().IsWritten(Error);
    try {
        LoadAndProcess(events, inputs, summary);
    } catch (const std::exception& e) {
        Log::Instance().Write(Error, std::string("Tagging run failed: ") + e.what());
        OutputDebugStringA(std::string("Tagging run failed: ") + e.what() + "\n");
    } catch (...) {
        Log::Instance().Write(Error, "Tagging run failed");
        OutputDebugStringA("Tagging run failed\n");
    }
    Log::Instance().Write(Info, RunSummaryText(summary));
    events.RunFinished(summary);
}

void TaggingEngine::LoadAndProcess(TaggingRunEvents& events, const TaggingRunInputs& inputs,
                                   RunSummary& summary) {
    events.RunProgressed(summary);
    m_TrackLog.Empty();
    GpxReadOptions options;
    options.stop = &m_StopRequested;
    const GpxLoadReport gpx = LoadTrackLog(inputs.gpxPath, m_TrackLog, options);
    summary.gpxPoints = gpx.points;
    summary.gpxProblem = gpx.problem;
    // Every enabled folder is listed first, so that the counts have their total from the start.
    std::vector<std::pair<std::string, std::vector<ImageFile>>> folders;
    for (int n = 1; n <= 4; ++n) {
        if (m_StopRequested) {
            summary.stopped = true;
            break;
        }
        if (inputs.hotFolderOn[static_cast<size_t>(n - 1)]) {
            const std::string& folder = m_Live->HotFolder(n);
            folders.emplace_back(folder, ListHotFolderImages(folder));
            summary.photos += folders.back().second.size();
        }
    }
    summary.folders = static_cast<int>(folders.size());
    summary.photosListed = true;
    events.RunProgressed(summary);
    for (const auto& [folder, images] : folders) {
        if (m_StopRequested) {
            summary.stopped = true;
            break;
        }
        ProcessImages(folder, images, summary, &events);
    }
}

void TaggingEngine::ProcessHotFolder(std::string folder) {
    RunSummary uncounted;
    ProcessImages(folder, ListHotFolderImages(folder), uncounted, nullptr);
}

void TaggingEngine::ProcessImages(const std::string& folder, const std::vector<ImageFile>& images,
                                  RunSummary& summary, TaggingRunEvents* events) {
    WriteLogLine(Debug, "ProcessHotFolder:");
    WriteLogLine(Debug, folder);
    m_Batch.BeginFolder(folder);
    for (const ImageFile& image : images) {
        if (m_StopRequested) {
            summary.stopped = true;
            break;
        }
        WriteLogLine(Debug, "Checking :" + image.path);
        OutputDebugStringA("Checking " + image.path + "\n");
        ImageOutcome outcome = ImageOutcome::Skipped;
        Exiv2MessageCapture exiv2Messages;
        try {
            outcome = ProcessImage(image.path, image.lastWriteTime, exiv2Messages);
        } catch (const std::exception& e) {
            ReportImageError(image.path, exiv2Messages.Explain(e.what()));
        } catch (...) {
            ReportImageError(image.path, exiv2Messages.Explain("unknown error"));
        }
        CountOutcome(summary, outcome);
        if (m_Batch.IsDue()) {
            ReportNotReplaced(m_Batch.CommitInBackground());
        }
        CountUncommitted(summary);
        if (events != nullptr) {
            events->RunProgressed(summary);
        }
    }
    CommitPendingWrites();
    CountUncommitted(summary);
    m_Batch.WaitForReleases();
}

void TaggingEngine::CommitPendingWrites() {
    ReportNotReplaced(m_Batch.Commit());
}

void TaggingEngine::ReportNotReplaced(const std::vector<NotReplaced>& photos) {
    for (const NotReplaced& photo : photos) {
        ReportImageError(photo.path, photo.reason);
    }
    m_Uncommitted += photos.size();
}

void TaggingEngine::CountUncommitted(RunSummary& summary) {
    summary.tagged -= std::min<uint64_t>(summary.tagged, m_Uncommitted);
    summary.skipped += m_Uncommitted;
    m_Uncommitted = 0;
}

ImageOutcome TaggingEngine::ProcessImage(const std::string& path, uint64_t lastWriteTime,
                                         const Exiv2MessageCapture& exiv2Messages) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && m_Batch.Holds(info)) {
        CommitPendingWrites();  // another name of a photo in the batch: put that one in place
    }
    PhotoSource photo;
    std::string error;
    if (!OpenPhoto(path, photo, error)) {
        ReportImageError(path, error);
        return ImageOutcome::Skipped;
    }
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::open(photo.head.data.get(), static_cast<long>(photo.head.size));
    image->readMetadata();
    if (image->exifData().count() == 0) {
        WriteLogLine(Info, "Created new exif header");
    }
    const std::optional<uint64_t> captureTime = CaptureTime(image->exifData(), lastWriteTime);
    if (!captureTime) {
        return ImageOutcome::NoCaptureTime;
    }
    const TrackPoint* point = FindBestMatch(*captureTime);
    if (point == nullptr) {
        return ImageOutcome::NoMatch;
    }
    return TagImage(path, photo, *image, *point, exiv2Messages);
}

std::optional<uint64_t> TaggingEngine::CaptureTime(const Exiv2::ExifData& exif,
                                                   uint64_t lastWriteTime) {
    WriteLogLine(Info, "Reading Exif.Photo.DateTimeDigitized");
    const std::string dateText = ReadDateTimeDigitized(exif);
    if (dateText.empty()) {
        return lastWriteTime;
    }
    WriteLogLine(Debug, dateText);
    const std::optional<uint64_t> parsed = ParseExifDateTime(dateText);
    if (!parsed) {
        WriteLogLine(Info, "No valid capture time, image skipped");
    }
    return parsed;
}

ImageOutcome TaggingEngine::TagImage(const std::string& path, PhotoSource& photo,
                                     const Exiv2::Image& image, const TrackPoint& point,
                                     const Exiv2MessageCapture& exiv2Messages) {
    WriteLogLine(Info, "Found best match, tagging image with:");
    WriteLogLine(Info, "longitude:");
    WriteLogLine(Info, FormatC(100, "%f", point.longitude));
    WriteLogLine(Info, "latitude:");
    WriteLogLine(Info, FormatC(100, "%f", point.latitude));
    const GpsPosition position = GpsPositionOf(point);
    if (position.altitude) {
        WriteLogLine(Info, "elevation:");
        WriteLogLine(Info, *position.altitude);
    }
    const ExifEdit edit =
        EditExifGps(photo.head.data.get(), photo.head.size, image, position, kSharedBlockSize);
    if (edit.outcome == ExifEditOutcome::AlreadyTagged) {
        WriteLogLine(Info, "Already tagged with this position, left as it is");
        return ImageOutcome::AlreadyTagged;
    }
    PendingReplacement pending;
    std::string error;
    if (edit.outcome == ExifEditOutcome::Refused) {
        ReportImageError(path, exiv2Messages.Explain(edit.reason));
        return ImageOutcome::Skipped;
    }
    if (!PrepareReplacement(path, photo, reinterpret_cast<const unsigned char*>(edit.head.data()),
                            edit.head.size(), pending, error)) {
        ReportImageError(path, error);
        return ImageOutcome::Skipped;
    }
    m_Batch.Add(std::move(pending));
    return ImageOutcome::Tagged;
}

void TaggingEngine::WriteLogLine(unsigned level, const std::string& message) const {
    if (UseLogfile()) {
        Log::Instance().Write(level, message);
    }
}
