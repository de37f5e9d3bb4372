// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/TaggingEngine.h"

#include <sys/stat.h>
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <exception>
#include <future>
#include <mutex>
#include <vector>

#include "photo/ExifDate.h"
#include "photo/HotFolderFiles.h"
#include "photo/PhotoSource.h"
#include "photo/XmpSidecar.h"
#include "photo/exif/Exiv2Messages.h"
#include "photo/exif/GpsTags.h"
#include "photo/jpeg/ExifGpsEdit.h"
#include "platform/DebugOutput.h"
#include "platform/DescriptorTable.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/PathText.h"
#include "track/gpx/GpxReader.h"
#include "track/load/TrackLoad.h"

namespace {

// The descriptors a run holds at most: two (the original and its new file) for each photo of
// the batch being filled, of the commit in flight and in hand, and the replaced originals
// still being released, with room to spare.
const size_t kRunDescriptors = 8 * BatchLimits().count;

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
    Log::Instance().WriteAndTrace(Error, message);
}

// A hot folder that is on but cannot be listed: reported, and its photos are not looked for.
void ReportUnreadFolder(int n, const std::string& folder, const std::string& problem) {
    const std::string message = "Hot folder " + std::to_string(n) + " (" + folder + "): " + problem;
    Log::Instance().Write(Error, message);
    OutputDebugStringA(message + "\n");
}

void CountOutcome(RunSummary& summary, const ImageResult& result) {
    ++summary.checked;
    summary.ownOffset += result.ownOffset ? 1 : 0;
    switch (result.outcome) {
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
        case ImageOutcome::HadPosition:
            ++summary.hadPosition;
            break;
    }
    summary.rawPhotos += result.raw ? 1 : 0;
    summary.sidecarsWritten += result.sidecarWritten ? 1 : 0;
    summary.rawUnreadable += result.unreadable ? 1 : 0;
}

}  // namespace

// A tagged photo whose new file a write thread makes: the photo, its new header, and what the
// making gave. Until `made` is ready, only the write thread touches the photo and the results.
struct PhotoWrite {
    std::string path;
    dev_t device = 0;  // the photo's file, as the run's thread knows it
    ino_t inode = 0;
    PhotoSource photo;
    std::string head;
    std::future<void> made;
    bool inTurn = false;  // made by the run's own thread when it is queued, not by a write thread
    Preparation prepared = Preparation::Refused;
    PendingReplacement pending;
    std::string error;
    // Makes the photo's new file into `into`, as PrepareReplacement does.
    Preparation Make(PendingReplacement& into, std::string& why, const WriteFaults* faults) {
        return PrepareReplacement(path, photo, reinterpret_cast<const unsigned char*>(head.data()),
                                  head.size(), into, why, faults);
    }
};

// An image read and matched, counted once the images before it are; its new file, when it
// has one, may still be in the making.
struct PhotoInHand {
    ImageFile image;
    ImageResult result;
    std::unique_ptr<PhotoWrite> write;
};

TaggingEngine::TaggingEngine() {
    InitialiseExiv2Once();
}

const TrackPoint* TaggingEngine::FindBestMatch(int64_t capture, int64_t bias) {
    if (m_TrackLog.IsEmpty()) {
        return nullptr;
    }
    MatchQuery query;
    query.capture = capture;
    query.tolerance = m_Inputs.tolerance;
    query.bias = bias;
    ptrdiff_t best;
    if (Log::Instance().IsWritten(Debug)) {
        best = ScanForBestMatch(m_TrackLog, query, true);
    } else {
        // Shifting the capture by the bias instead of every point gives the same answer, so
        // one index serves photos read with different offsets.
        m_Index.Prepare(m_TrackLog, 0);
        best = m_Index.FindBestMatch(
            static_cast<int64_t>(static_cast<uint64_t>(capture) + static_cast<uint64_t>(bias)),
            query.tolerance);
    }
    return best < 0 ? nullptr : &m_TrackLog.At(static_cast<size_t>(best));
}

void TaggingEngine::RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs) {
    events.RunStarted();
    m_Inputs = inputs;
    RunSummary summary;
    summary.toleranceMinutes = inputs.tolerance / kFileTimeUnitsPerMinute;
    summary.logWritten = Log::Instance().IsWritten(Error);
    try {
        LoadAndProcess(events, summary);
    } catch (const std::exception& e) {
        summary.failed = true;
        Log::Instance().WriteAndTrace(Error, std::string("Tagging run failed: ") + e.what());
    } catch (...) {
        summary.failed = true;
        Log::Instance().WriteAndTrace(Error, "Tagging run failed");
    }
    Log::Instance().Write(Info, RunSummaryText(summary));
    events.RunFinished(summary);
}

void TaggingEngine::LoadAndProcess(TaggingRunEvents& events, RunSummary& summary) {
    events.RunProgressed(summary);
    m_TrackLog.Empty();
    GpxReadOptions options;
    options.stop = &m_StopRequested;
    const TrackLoadReport gpx = LoadTrackLog(m_Inputs.gpxPath, m_TrackLog, options);
    summary.gpxPoints = gpx.points;
    summary.gpxProblem = gpx.status.message();
    summary.gpxStopped = gpx.status.code() == StatusCode::Stopped;
    summary.gpxFiles = gpx.files;
    summary.gpxFilesFailed = gpx.failedFiles;
    // Every enabled folder is listed first, so that the counts have their total from the start.
    std::vector<std::pair<std::string, std::vector<ImageFile>>> folders;
    for (int n = 1; n <= 4; ++n) {
        if (m_StopRequested) {
            summary.stopped = true;
            break;
        }
        if (m_Inputs.hotFolderOn[static_cast<size_t>(n - 1)]) {
            const std::string& folder = m_Inputs.hotFolders[static_cast<size_t>(n - 1)];
            std::string problem;
            folders.emplace_back(folder,
                                 ListHotFolderImages(folder, m_Inputs.rawSidecars, &problem));
            summary.photos += folders.back().second.size();
            if (!problem.empty()) {
                ReportUnreadFolder(n, folder, problem);
                ++summary.foldersUnread;
            }
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
        ProcessHotFolder(folder, images, summary, &events);
    }
}

void TaggingEngine::ProcessHotFolder(const std::string& folder,
                                     const std::vector<ImageFile>& images, RunSummary& summary,
                                     TaggingRunEvents* events) {
    WriteLogLine(Debug, "ProcessHotFolder:");
    WriteLogLine(Debug, folder);
    m_Batch.BeginFolder(folder);
    m_MakeInTurn = false;
    m_BlockSharing.clear();  // a mount may have changed since
    std::deque<PhotoInHand> inHand;
    ReserveDescriptors(kRunDescriptors);   // before the write and commit threads start
    WriteThreads writers(m_WriteThreads);  // declared after inHand: ended before it goes
    const size_t ahead = 2 * writers.Count();
    for (const ImageFile& image : images) {
        if (m_StopRequested) {
            summary.stopped = true;
            break;
        }
        if (!image.raw) {
            MakeWayFor(image.path, inHand, summary, events);
        }
        WriteLogLine(Debug, "Checking :" + image.path);
        OutputDebugStringA("Checking " + image.path + "\n");
        inHand.push_back(PhotoInHand{image, ImageResult(), nullptr});
        ReadImage(inHand.back(), writers);
        FinishImages(inHand, ahead, summary, events);
    }
    FinishImages(inHand, 0, summary, events);
    CommitPendingWrites();
    CountUncommitted(summary);
    m_Batch.WaitForReleases();
}

void TaggingEngine::MakeWayFor(const std::string& path, std::deque<PhotoInHand>& inHand,
                               RunSummary& summary, TaggingRunEvents* events) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return;  // reading it will tell what is wrong
    }
    const bool inFlight = std::any_of(inHand.begin(), inHand.end(), [&info](const auto& image) {
        return image.write != nullptr && image.write->device == info.st_dev &&
               image.write->inode == info.st_ino;
    });
    if (inFlight) {
        FinishImages(inHand, 0, summary, events);
    }
    if (m_Batch.Holds(info)) {
        CommitPendingWrites();
    }
}

void TaggingEngine::ReadImage(PhotoInHand& inHand, WriteThreads& writers) {
    const ImageFile& image = inHand.image;
    Exiv2MessageCapture exiv2Messages;
    try {
        inHand.result =
            image.raw ? ProcessRawPhoto(image)
                      : ProcessImage(image.path, image.lastWriteTime, exiv2Messages, inHand.write);
    } catch (const std::exception& e) {
        ReportImageError(image.path, exiv2Messages.Explain(e.what()));
        inHand.result = ImageResult();
    } catch (...) {
        ReportImageError(image.path, exiv2Messages.Explain("unknown error"));
        inHand.result = ImageResult();
    }
    if (inHand.write == nullptr || inHand.result.outcome != ImageOutcome::Tagged) {
        inHand.write.reset();  // none, or one that an exception left behind
        return;
    }
    PhotoWrite* write = inHand.write.get();
    if (m_MakeInTurn) {
        write->inTurn = true;
        return;
    }
    const WriteFaults* faults = &m_WriteFaults;
    write->made = writers.Submit(
        [write, faults] { write->prepared = write->Make(write->pending, write->error, faults); });
}

void TaggingEngine::FinishImages(std::deque<PhotoInHand>& inHand, size_t keep, RunSummary& summary,
                                 TaggingRunEvents* events) {
    while (inHand.size() > keep) {
        PhotoInHand& image = inHand.front();
        if (image.write != nullptr) {
            image.result.outcome =
                QueueWritten(*image.write, inHand) ? ImageOutcome::Tagged : ImageOutcome::Skipped;
        }
        CountOutcome(summary, image.result);
        inHand.pop_front();
        if (m_Batch.IsDue()) {
            ReportNotReplaced(m_Batch.CommitInBackground());
        }
        CountUncommitted(summary);
        if (events != nullptr) {
            events->RunProgressed(summary);
        }
    }
}

bool TaggingEngine::QueueWritten(PhotoWrite& write, std::deque<PhotoInHand>& inHand) {
    const auto make = [&](PendingReplacement& pending, std::string& why) {
        return write.Make(pending, why, &m_WriteFaults);
    };
    Preparation prepared = Preparation::Refused;
    if (write.inTurn) {
        prepared = make(write.pending, write.error);
    } else {
        try {
            write.made.get();
            prepared = write.prepared;
        } catch (const std::exception& e) {
            write.error = std::string("cannot write the new file: ") + e.what();
        } catch (...) {
            write.error = "cannot write the new file";
        }
    }
    if (prepared == Preparation::OutOfSpace && !m_MakeInTurn) {
        MakeRestInTurn(inHand, write);
    }
    if (!QueuePrepared(prepared, make, write.pending, write.error)) {
        ReportImageError(write.path, write.error);
        return false;
    }
    return true;
}

void TaggingEngine::MakeRestInTurn(std::deque<PhotoInHand>& inHand, const PhotoWrite& current) {
    m_MakeInTurn = true;
    for (PhotoInHand& image : inHand) {
        PhotoWrite* write = image.write.get();
        if (write == nullptr || write == &current || write->inTurn) {
            continue;
        }
        write->made.wait();
        if (write->prepared == Preparation::Ready) {
            // The photo's descriptor, with its lease, goes back to the photo, and the new
            // file is discarded with the rest of `pending`.
            write->photo.fd = std::move(write->pending.originalFd);
            write->pending = PendingReplacement();
        }
        write->inTurn = true;
    }
}

void TaggingEngine::CommitPendingWrites() {
    ReportNotReplaced(m_Batch.Commit());
}

void TaggingEngine::ReportNotReplaced(const std::vector<NotReplaced>& photos) {
    for (const NotReplaced& photo : photos) {
        ReportImageError(photo.path, photo.reason);
        m_UncommittedSidecars += photo.sidecar ? 1 : 0;
    }
    m_Uncommitted += photos.size();
}

void TaggingEngine::CountUncommitted(RunSummary& summary) {
    summary.tagged -= std::min<uint64_t>(summary.tagged, m_Uncommitted);
    summary.skipped += m_Uncommitted;
    summary.sidecarsWritten -= std::min<uint64_t>(summary.sidecarsWritten, m_UncommittedSidecars);
    m_Uncommitted = 0;
    m_UncommittedSidecars = 0;
}

ImageResult TaggingEngine::ProcessImage(const std::string& path, uint64_t lastWriteTime,
                                        const Exiv2MessageCapture& exiv2Messages,
                                        std::unique_ptr<PhotoWrite>& write) {
    PhotoSource photo;
    std::string error;
    if (!OpenPhoto(path, photo, error)) {
        ReportImageError(path, error);
        return ImageResult{ImageOutcome::Skipped};
    }
    Exiv2::Image::AutoPtr image =
        Exiv2::ImageFactory::open(photo.head.data.get(), static_cast<long>(photo.head.size));
    image->readMetadata();
    if (image->exifData().count() == 0) {
        WriteLogLine(Info, "Created new exif header");
    }
    ImageResult result;
    const TrackPoint* point = MatchPhoto(image->exifData(), lastWriteTime, result);
    if (point != nullptr) {
        result.outcome = TagImage(path, photo, *image, *point, exiv2Messages, write);
    }
    return result;
}

ImageResult TaggingEngine::ProcessRawPhoto(const ImageFile& raw) {
    ImageResult result;
    result.raw = true;
    Exiv2::Image::AutoPtr image;
    try {
        // Opened by path, the file is only ever read: nothing here writes its metadata back.
        image = Exiv2::ImageFactory::open(raw.path);
        image->readMetadata();
    } catch (const std::exception& e) {
        ReportImageError(raw.path, std::string("cannot read this RAW photo: ") + e.what());
        result.unreadable = true;
        return result;
    }
    // Every RAW format the library reads keeps Exif data, the camera's make at least. None
    // means the library took the file for something else (a CR3 for a QuickTime movie): its
    // capture time is unknown, and the file's modification time must not stand in for it.
    if (image->exifData().empty()) {
        ReportImageError(raw.path,
                         "cannot read this RAW photo: the image library finds no Exif "
                         "data in it (it reads it as " +
                             image->mimeType() + ")");
        result.unreadable = true;
        return result;
    }
    const TrackPoint* point = MatchPhoto(image->exifData(), raw.lastWriteTime, result);
    if (point != nullptr) {
        result.outcome = TagSidecar(raw, *point, result);
    }
    return result;
}

const TrackPoint* TaggingEngine::MatchPhoto(const Exiv2::ExifData& exif, uint64_t lastWriteTime,
                                            ImageResult& result) {
    if (!m_Inputs.replaceRecordedPositions && HasRecordedPosition(exif)) {
        WriteLogLine(Info, "Keeping the position recorded in the photo");
        result.outcome = ImageOutcome::HadPosition;
        return nullptr;
    }
    const std::optional<PhotoCapture> capture = CaptureTime(exif, lastWriteTime);
    if (!capture) {
        result.outcome = ImageOutcome::NoCaptureTime;
        return nullptr;
    }
    result.outcome = ImageOutcome::NoMatch;
    result.ownOffset = capture->offset.source == OffsetSource::Photo;
    const int64_t bias = -int64_t{capture->offset.offsetSeconds} * kFileTimeUnitsPerSecond;
    const TrackPoint* point = FindBestMatch(capture->corrected, bias);
    if (point == nullptr) {
        return nullptr;
    }
    const int64_t pointMinusCapture = WholeSecondTime(*point) - (capture->corrected + bias);
    WriteLogLine(Info, MatchedTimeLine(capture->offset, m_Inputs.clock,
                                       pointMinusCapture / kFileTimeUnitsPerSecond));
    return point;
}

ImageOutcome TaggingEngine::TagSidecar(const ImageFile& raw, const TrackPoint& point,
                                       ImageResult& result) {
    PhotoSource sidecar;
    std::string existing;
    std::string error;
    if (raw.sidecarExists) {
        struct stat info {};
        if (stat(raw.sidecar.c_str(), &info) == 0 && m_Batch.Holds(info)) {
            CommitPendingWrites();  // the sidecar of another RAW photo of the same name
        }
        if (!OpenPhoto(raw.sidecar, sidecar, error)) {
            ReportImageError(raw.sidecar, error);
            return ImageOutcome::Skipped;
        }
        existing.assign(reinterpret_cast<const char*>(sidecar.head.data.get()), sidecar.head.size);
    }
    if (!m_Inputs.replaceRecordedPositions && SidecarHasPosition(existing)) {
        WriteLogLine(Info, "Keeping the position recorded in the sidecar " + raw.sidecar);
        return ImageOutcome::HadPosition;
    }
    const SidecarUpdate update = UpdateSidecar(existing, point);
    if (update.change == SidecarChange::AlreadyHeld) {
        WriteLogLine(Info, "The sidecar " + raw.sidecar + " holds the position already");
        return ImageOutcome::AlreadyTagged;
    }
    if (update.change == SidecarChange::Refused) {
        ReportImageError(raw.sidecar, update.reason);
        return ImageOutcome::Skipped;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(update.text.data());
    const auto prepare = [&](PendingReplacement& pending, std::string& why) {
        pending.sidecar = true;
        return raw.sidecarExists
                   ? PrepareReplacement(raw.sidecar, sidecar, bytes, update.text.size(), pending,
                                        why, &m_WriteFaults)
                   : PrepareNewFile(raw.sidecar, raw.sidecar, update.text, pending, why,
                                    &m_WriteFaults);
    };
    PendingReplacement pending;
    if (!QueuePrepared(prepare(pending, error), prepare, pending, error)) {
        ReportImageError(raw.sidecar, error);
        return ImageOutcome::Skipped;
    }
    Log::Instance().Write(Info, "Sidecar written: " + raw.sidecar);
    result.sidecarWritten = true;
    return ImageOutcome::Tagged;
}

std::optional<PhotoCapture> TaggingEngine::CaptureTime(const Exiv2::ExifData& exif,
                                                       uint64_t lastWriteTime) {
    WriteLogLine(Info, "Reading Exif.Photo.DateTimeDigitized");
    const std::string dateText = ReadDateTimeDigitized(exif);
    PhotoCapture capture;
    if (dateText.empty()) {
        // The file system's time, not the camera's: matched as it always was.
        capture.corrected = static_cast<int64_t>(lastWriteTime);
        capture.offset.offsetSeconds = -m_Inputs.biasInMinutes * 60;
        capture.offset.source = OffsetSource::FileTime;
        return capture;
    }
    WriteLogLine(Debug, dateText);
    const std::optional<uint64_t> parsed = ParseExifDateTime(dateText);
    if (!parsed) {
        WriteLogLine(Info, "No valid capture time, image skipped");
        return std::nullopt;
    }
    capture.corrected =
        static_cast<int64_t>(*parsed) - m_Inputs.clock.correctionSeconds * kFileTimeUnitsPerSecond;
    capture.offset = ChooseOffset(m_Inputs.clock, m_Inputs.biasInMinutes, PhotoOffset(exif),
                                  UnixSecondsOfCount(capture.corrected));
    return capture;
}

std::optional<int32_t> TaggingEngine::PhotoOffset(const Exiv2::ExifData& exif) const {
    if (!m_Inputs.clock.usePhotoTimeZone) {
        return std::nullopt;
    }
    const std::optional<OffsetTag> tag = ReadOffsetTag(exif);
    if (!tag) {
        return std::nullopt;
    }
    const std::optional<int32_t> offset = ParseExifOffset(tag->text);
    // Blanks and colons are Exif's way of saying "unknown": no offset, and nothing wrong.
    if (!offset && tag->text.find_first_not_of(" :") != std::string::npos) {
        const std::string message =
            "Ignoring the malformed time offset \"" + tag->text + "\" of " + tag->key;
        if (UseLogfile()) {
            Log::Instance().WriteAndTrace(Info, message);
        } else {
            OutputDebugStringA(message + "\n");
        }
    }
    return offset;
}

ImageOutcome TaggingEngine::TagImage(const std::string& path, PhotoSource& photo,
                                     const Exiv2::Image& image, const TrackPoint& point,
                                     const Exiv2MessageCapture& exiv2Messages,
                                     std::unique_ptr<PhotoWrite>& write) {
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
    ExifEdit edit = EditExifGps(photo.head.data.get(), photo.head.size, image, position,
                                HeaderAlignmentFor(photo));
    if (edit.outcome == ExifEditOutcome::AlreadyTagged) {
        WriteLogLine(Info, "Already tagged with this position, left as it is");
        return ImageOutcome::AlreadyTagged;
    }
    if (edit.outcome == ExifEditOutcome::Refused) {
        ReportImageError(path, exiv2Messages.Explain(edit.reason));
        return ImageOutcome::Skipped;
    }
    write = std::make_unique<PhotoWrite>();
    write->path = path;
    write->device = photo.info.st_dev;
    write->inode = photo.info.st_ino;
    write->photo = std::move(photo);
    write->head = std::move(edit.head);
    return ImageOutcome::Tagged;
}

size_t TaggingEngine::HeaderAlignmentFor(const PhotoSource& photo) {
    auto known = m_BlockSharing.find(photo.info.st_dev);
    if (known == m_BlockSharing.end()) {
        const BlockSharing sharing = ProbeBlockSharing(FolderOf(photo.target));
        known = m_BlockSharing.emplace(photo.info.st_dev, sharing).first;
    }
    return known->second == BlockSharing::DoesNot ? 0 : kCloneBlock;
}

bool TaggingEngine::QueuePrepared(Preparation prepared, const Prepare& prepare,
                                  PendingReplacement& pending, std::string& error) {
    if (prepared == Preparation::OutOfSpace) {
        // The batch's originals hold space until they are replaced: put them in place, let
        // their space go, and try once more.
        CommitPendingWrites();
        m_Batch.WaitForReleases();
        prepared = prepare(pending, error);
    }
    if (prepared != Preparation::Ready) {
        return false;
    }
    m_Batch.Add(std::move(pending));
    return true;
}

void TaggingEngine::WriteLogLine(unsigned level, const std::string& message) const {
    if (UseLogfile()) {
        Log::Instance().Write(level, message);
    }
}
