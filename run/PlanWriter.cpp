// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/PlanWriter.h"

#include <sys/stat.h>
#include <exiv2/exiv2.hpp>

#include <algorithm>
#include <exception>

#include "durable/FileIo.h"
#include "durable/FileLease.h"
#include "durable/FolderLock.h"
#include "photo/PhotoEdit.h"
#include "photo/PhotoFormat.h"
#include "photo/WrittenContent.h"
#include "photo/XmpSidecar.h"
#include "photo/exif/Exiv2Messages.h"
#include "photo/tiff/BigTiffFacts.h"
#include "platform/DebugOutput.h"
#include "platform/DescriptorTable.h"
#include "platform/Log.h"
#include "platform/PathText.h"
#include "run/PlanNarration.h"

namespace {

// The descriptors a run holds at most: two (the original and its new file) for each photo of
// the batch being filled, of the commit in flight and in hand, and the replaced originals
// still being released, with room to spare.
const size_t kRunDescriptors = 8 * BatchLimits().count;

// The batch's mark of a photo, for the counts: whether it is a sidecar, and how it was placed.
constexpr int kSidecarTag = 1;

int TagOf(bool sidecar, PlacementMethod method) {
    return (sidecar ? kSidecarTag : 0) | static_cast<int>(method) << 1;
}

// A photo that cannot be tagged: reported, and left as it was.
void ReportImageError(const std::string& path, const std::string& what) {
    Log::Instance().WriteAndTrace(Error, "Skipping " + path + ": " + what);
}

void ReportBusyFolder(const PlannedFolder& folder, const std::string& why) {
    Log::Instance().WriteAndTrace(
        Error, "Hot folder " + std::to_string(folder.number) + " (" + folder.path + "): " + why);
}

bool ReadWithOwnOffset(const Placement& placement) {
    return placement.capture && placement.capture->offset.source == OffsetSource::Photo;
}

}  // namespace

PlanWriter::PlanWriter(const TaggingRunInputs& inputs, TrackMatcher& matcher,
                       const WriteSettings& settings, const std::atomic<bool>& stop)
    : m_Inputs(inputs),
      m_Matcher(matcher),
      m_Settings(settings),
      m_Stop(stop),
      m_Batch(settings.batchLimits, BeginsAsWrittenPhoto) {}

void PlanWriter::ProcessHotFolder(const PlannedFolder& folder, RunSummary& summary,
                                  TaggingRunEvents* events) {
    WriteRunLogLine(m_Inputs, Debug, "ProcessHotFolder:");
    WriteRunLogLine(m_Inputs, Debug, folder.path);
    FolderLock claim;
    m_Events = events;
    if (!m_Inputs.dryRun) {
        const Status claimed = claim.Take(folder.path);
        if (!claimed.ok()) {
            ReportBusyFolder(folder, claimed.message());
            ++summary.foldersBusy;
            return;
        }
        m_Batch.BeginFolder(folder.path);
    }
    m_MakeInTurn = false;
    m_BlockSharing.clear();  // a mount may have changed since
    std::deque<PhotoInHand> inHand;
    ReserveDescriptors(kRunDescriptors);            // before the write and commit threads start
    WriteThreads writers(m_Settings.writeThreads);  // declared after inHand: ended before it goes
    const size_t ahead = 2 * writers.Count();
    for (const PlannedPhoto& photo : folder.photos) {
        if (m_Stop || !photo.read) {
            summary.stopped = true;
            break;
        }
        if (!photo.file.raw) {
            MakeWayFor(photo.file.path, inHand, summary, events);
        }
        WriteRunLogLine(m_Inputs, Debug, "Checking :" + photo.file.path);
        OutputDebugStringA("Checking " + photo.file.path + "\n");
        inHand.push_back(PhotoInHand{&photo, ImageResult(), nullptr});
        PrepareImage(inHand.back(), writers);
        FinishImages(inHand, ahead, summary, events);
    }
    FinishImages(inHand, 0, summary, events);
    CommitPendingWrites();
    CountUncommitted(summary);
    m_Batch.WaitForReleases();
}

void PlanWriter::MakeWayFor(const std::string& path, std::deque<PhotoInHand>& inHand,
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

void PlanWriter::PrepareImage(PhotoInHand& inHand, WriteThreads& writers) {
    const PlannedPhoto& planned = *inHand.planned;
    Exiv2MessageCapture exiv2Messages;
    try {
        inHand.result =
            planned.file.raw ? WriteRaw(planned) : WritePhoto(planned, exiv2Messages, inHand.write);
    } catch (const std::exception& e) {
        ReportImageError(planned.file.path, exiv2Messages.Explain(e.what()));
        inHand.result = ImageResult();
    } catch (...) {
        ReportImageError(planned.file.path, exiv2Messages.Explain("unknown error"));
        inHand.result = ImageResult();
    }
    if (inHand.write == nullptr || inHand.result.outcome != ImageOutcome::Tagged ||
        m_Inputs.dryRun) {
        inHand.write.reset();  // none, one that an exception left behind, or a dry run's
        return;
    }
    PhotoWrite* write = inHand.write.get();
    if (m_MakeInTurn) {
        write->inTurn = true;
        return;
    }
    const WriteFaults* faults = m_Settings.faults;
    write->made =
        writers.Submit([write, faults] { write->prepared = write->Make(write->pending, faults); });
}

PhotoReport PlanWriter::ReportOf(const PlannedPhoto& photo, const Placement& placement) const {
    PhotoReport report;
    report.path = photo.file.path;
    report.match = placement.match;
    report.utc = placement.Utc();
    if (placement.capture) {
        report.offset = OffsetLabel(placement.capture->offset, m_Inputs.clock.zoneId);
    }
    return report;
}

ImageOutcome PlanWriter::OutcomeOf(const Placement& placement) {
    switch (placement.outcome) {
        case PhotoOutcome::NoMatch:
            return ImageOutcome::NoMatch;
        case PhotoOutcome::NoCaptureTime:
            return ImageOutcome::NoCaptureTime;
        case PhotoOutcome::HadPosition:
            return ImageOutcome::HadPosition;
        default:
            return ImageOutcome::Skipped;
    }
}

ImageResult PlanWriter::WritePhoto(const PlannedPhoto& planned,
                                   const Exiv2MessageCapture& exiv2Messages,
                                   std::unique_ptr<PhotoWrite>& write) {
    ImageResult result;
    result.report = ReportOf(planned, planned.placement);
    if (!planned.readStatus.ok()) {
        ReportImageError(planned.file.path, planned.readStatus.message());
        return result;
    }
    if (planned.placement.outcome != PhotoOutcome::Tag) {
        NarratePlacement(planned, m_Inputs, m_Matcher.Log());
        result.outcome = OutcomeOf(planned.placement);
        result.ownOffset = ReadWithOwnOffset(planned.placement);
        return result;
    }
    PhotoSource photo;
    PhotoFormat format = PhotoFormat::Unknown;
    Status opened = OpenPhoto(planned.file.path, photo);
    if (opened.ok()) {
        opened =
            CheckPhotoContent(planned.file.path, photo.head.data.get(), photo.head.size, format);
    }
    if (!opened.ok()) {
        ReportImageError(planned.file.path, opened.message());
        return result;
    }
    Exiv2::Image::AutoPtr image;  // none for a BigTIFF, which Exiv2 cannot read
    if (format != PhotoFormat::BigTiff) {
        image =
            Exiv2::ImageFactory::open(photo.head.data.get(), static_cast<long>(photo.head.size));
        image->readMetadata();
    }
    PlannedPhoto current = planned;
    if (!IsSameFileState(photo.info, planned.facts.identity)) {
        // Changed since it was planned (or its name now leads to the file a link shared): it is
        // tagged as it is now.
        current.facts = PhotoFacts();
        if (image.get() != nullptr) {
            ReadExifFacts(image->exifData(), planned.file.lastWriteTime, current.facts);
        } else if (const Status read =
                       ReadBigTiffFacts(photo.target, planned.file.lastWriteTime, current.facts);
                   !read.ok()) {
            ReportImageError(planned.file.path, read.message());
            return result;
        }
        current.placement = PlacePhoto(current, m_Inputs, m_Matcher);
    }
    NarratePlacement(current, m_Inputs, m_Matcher.Log());
    result.ownOffset = ReadWithOwnOffset(current.placement);
    result.report = ReportOf(current, current.placement);
    if (current.placement.outcome != PhotoOutcome::Tag) {
        result.outcome = OutcomeOf(current.placement);
        return result;
    }
    result.report = ReportOf(current, current.placement);
    const GeoPosition& position = current.placement.match->position;
    result.outcome =
        image.get() != nullptr
            ? TagImage(planned.file, format, photo, *image, position, exiv2Messages, result, write)
            : TagSidecarInstead(planned.file, kBigTiffSidecarReason, position, result);
    return result;
}

ImageResult PlanWriter::WriteRaw(const PlannedPhoto& planned) {
    ImageResult result;
    result.raw = true;
    result.report = ReportOf(planned, planned.placement);
    if (!planned.readStatus.ok()) {
        ReportImageError(planned.file.path, planned.readStatus.message());
        result.unreadable = planned.readStatus.code() == StatusCode::Unreadable;
        return result;
    }
    NarratePlacement(planned, m_Inputs, m_Matcher.Log());
    result.ownOffset = ReadWithOwnOffset(planned.placement);
    const bool keptForThePhoto = !m_Inputs.replaceRecordedPositions && planned.facts.hasPosition;
    if (planned.placement.match && !keptForThePhoto) {
        // Whether its sidecar holds a position to keep is asked of the sidecar as it is now.
        result.outcome = TagSidecar(planned.file, planned.placement.match->position, result);
    } else {
        result.outcome = OutcomeOf(planned.placement);
    }
    return result;
}

void PlanWriter::FinishImages(std::deque<PhotoInHand>& inHand, size_t keep, RunSummary& summary,
                              TaggingRunEvents* events) {
    while (inHand.size() > keep) {
        PhotoInHand& image = inHand.front();
        if (image.write != nullptr) {
            image.result.outcome =
                QueueWritten(*image.write, inHand) ? ImageOutcome::Tagged : ImageOutcome::Skipped;
        }
        image.result.report.outcome = image.result.outcome;
        CountOutcome(summary, image.result);
        if (events != nullptr) {
            events->PhotoFinished(image.result.report);
        }
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

bool PlanWriter::QueueWritten(PhotoWrite& write, std::deque<PhotoInHand>& inHand) {
    const WriteFaults* faults = m_Settings.faults;
    const auto make = [&write, faults](PendingReplacement& pending) {
        return write.Make(pending, faults);
    };
    Status prepared = Status::Failed("cannot write the new file");
    if (write.inTurn) {
        prepared = make(write.pending);
    } else {
        try {
            write.made.get();
            prepared = write.prepared;
        } catch (const std::exception& e) {
            prepared = Status::Failed(std::string("cannot write the new file: ") + e.what());
        } catch (...) {
        }
    }
    if (prepared.code() == StatusCode::OutOfSpace && !m_MakeInTurn) {
        MakeRestInTurn(inHand, write);
    }
    const Status queued = QueuePrepared(prepared, make, write.pending);
    if (!queued.ok()) {
        ReportImageError(write.path, queued.message());
        return false;
    }
    return true;
}

void PlanWriter::MakeRestInTurn(std::deque<PhotoInHand>& inHand, const PhotoWrite& current) {
    m_MakeInTurn = true;
    for (PhotoInHand& image : inHand) {
        PhotoWrite* write = image.write.get();
        if (write == nullptr || write == &current || write->inTurn) {
            continue;
        }
        write->made.wait();
        if (write->prepared.ok()) {
            // The photo's descriptor, with its lease, goes back to the photo, and the new
            // file is discarded with the rest of `pending`.
            write->photo.fd = std::move(write->pending.originalFd);
            write->pending = PendingReplacement();
        }
        write->inTurn = true;
    }
}

void PlanWriter::CommitPendingWrites() {
    ReportNotReplaced(m_Batch.Commit());
}

void PlanWriter::ReportNotReplaced(const std::vector<NotReplaced>& photos) {
    for (const NotReplaced& photo : photos) {
        ReportImageError(photo.path, photo.reason);
        m_Uncommitted.push_back(photo.tag);
        if (m_Events != nullptr) {
            PhotoReport report;
            report.path = photo.path;
            m_Events->PhotoFinished(report);
        }
    }
}

void PlanWriter::CountUncommitted(RunSummary& summary) {
    for (const int tag : m_Uncommitted) {
        --summary.tagged;
        ++summary.skipped;
        summary.sidecarsWritten -= (tag & kSidecarTag) != 0 ? 1 : 0;
        CountMethod(summary, static_cast<PlacementMethod>(tag >> 1), -1);
    }
    m_Uncommitted.clear();
}

ImageOutcome PlanWriter::TagSidecar(const ImageFile& raw, const GeoPosition& position,
                                    ImageResult& result) {
    PhotoSource sidecar;
    std::string existing;
    if (raw.sidecarExists) {
        struct stat info {};
        if (stat(raw.sidecar.c_str(), &info) == 0 && m_Batch.Holds(info)) {
            CommitPendingWrites();  // the sidecar of another RAW photo of the same name
        }
        const Status opened = OpenPhoto(raw.sidecar, sidecar);
        if (!opened.ok()) {
            ReportImageError(raw.sidecar, opened.message());
            return ImageOutcome::Skipped;
        }
        existing.assign(reinterpret_cast<const char*>(sidecar.head.data.get()), sidecar.head.size);
    }
    if (!m_Inputs.replaceRecordedPositions && SidecarHasPosition(existing)) {
        WriteRunLogLine(m_Inputs, Info,
                        "Keeping the position recorded in the sidecar " + raw.sidecar);
        return ImageOutcome::HadPosition;
    }
    const SidecarUpdate update = UpdateSidecar(existing, position);
    if (update.change == SidecarChange::AlreadyHeld) {
        WriteRunLogLine(m_Inputs, Info,
                        "The sidecar " + raw.sidecar + " holds the position already");
        return ImageOutcome::AlreadyTagged;
    }
    if (update.change == SidecarChange::Refused) {
        ReportImageError(raw.sidecar, update.reason);
        return ImageOutcome::Skipped;
    }
    if (m_Inputs.dryRun) {
        return ImageOutcome::Tagged;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(update.text.data());
    const WriteFaults* faults = m_Settings.faults;
    const auto prepare = [&](PendingReplacement& pending) {
        pending.tag = TagOf(raw.raw, result.report.match->method);
        return raw.sidecarExists
                   ? PrepareReplacement(raw.sidecar, sidecar, bytes, update.text.size(), pending,
                                        faults)
                   : PrepareNewFile(raw.sidecar, raw.sidecar, update.text, pending, faults);
    };
    PendingReplacement pending;
    const Status queued = QueuePrepared(prepare(pending), prepare, pending);
    if (!queued.ok()) {
        ReportImageError(raw.sidecar, queued.message());
        return ImageOutcome::Skipped;
    }
    Log::Instance().Write(Info, "Sidecar written: " + raw.sidecar);
    result.sidecarWritten = raw.raw;
    return ImageOutcome::Tagged;
}

ImageOutcome PlanWriter::TagImage(const ImageFile& file, PhotoFormat format, PhotoSource& photo,
                                  const Exiv2::Image& image, const GeoPosition& position,
                                  const Exiv2MessageCapture& exiv2Messages, ImageResult& result,
                                  std::unique_ptr<PhotoWrite>& write) {
    NarrateTagging(position, m_Inputs);
    PhotoEdit edit =
        EditPhotoGps(format, photo, image, GpsPositionOf(position), HeaderAlignmentFor(photo));
    if (edit.outcome == PhotoEditOutcome::AlreadyTagged) {
        WriteRunLogLine(m_Inputs, Info, "Already tagged with this position, left as it is");
        return ImageOutcome::AlreadyTagged;
    }
    if (edit.outcome == PhotoEditOutcome::UseSidecar) {
        return TagSidecarInstead(file, edit.reason, position, result);
    }
    if (edit.outcome == PhotoEditOutcome::Refused) {
        ReportImageError(file.path, exiv2Messages.Explain(edit.reason));
        return ImageOutcome::Skipped;
    }
    write = std::make_unique<PhotoWrite>();
    write->path = file.path;
    write->device = photo.info.st_dev;
    write->inode = photo.info.st_ino;
    write->photo = std::move(photo);
    write->content = std::move(edit.content);
    write->tag = TagOf(false, result.report.match->method);
    return ImageOutcome::Tagged;
}

ImageOutcome PlanWriter::TagSidecarInstead(const ImageFile& file, const std::string& reason,
                                           const GeoPosition& position, ImageResult& result) {
    if (!m_Inputs.rawSidecars || file.sidecar.empty()) {
        ReportImageError(file.path,
                         reason + (file.sidecar.empty() ? ", and no sidecar is kept for such photos"
                                                        : ", and sidecar files are switched off"));
        return ImageOutcome::Skipped;
    }
    Log::Instance().Write(Info,
                          "The position of " + file.path + " goes into its sidecar: " + reason);
    return TagSidecar(file, position, result);
}

size_t PlanWriter::HeaderAlignmentFor(const PhotoSource& photo) {
    if (m_Inputs.dryRun) {
        return 0;  // nothing is written, so nothing is probed
    }
    auto known = m_BlockSharing.find(photo.info.st_dev);
    if (known == m_BlockSharing.end()) {
        const BlockSharing sharing = ProbeBlockSharing(FolderOf(photo.target));
        known = m_BlockSharing.emplace(photo.info.st_dev, sharing).first;
    }
    return known->second == BlockSharing::DoesNot ? 0 : kCloneBlock;
}

Status PlanWriter::QueuePrepared(Status prepared, const Prepare& prepare,
                                 PendingReplacement& pending) {
    if (prepared.code() == StatusCode::OutOfSpace) {
        // The batch's originals hold space until they are replaced: put them in place, let
        // their space go, and try once more.
        CommitPendingWrites();
        m_Batch.WaitForReleases();
        prepared = prepare(pending);
    }
    if (prepared.ok()) {
        m_Batch.Add(std::move(pending));
    }
    return prepared;
}
