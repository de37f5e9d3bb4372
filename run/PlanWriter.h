// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The second step of a run: the planned photos of a hot folder are tagged, in the folder's
// order. A photo's new file is made on the write threads while the next photos are read, and
// replaces the original in a batch; a RAW photo's position goes into its sidecar, and so does a
// HEIF or TIFF photo's where its file cannot take it.

#include <sys/types.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "durable/BlockSharing.h"
#include "durable/ReplacementBatch.h"
#include "durable/WriteFaults.h"
#include "durable/WriteThreads.h"
#include "match/TimestampMatcher.h"
#include "photo/PhotoFormat.h"
#include "run/PhotoWrite.h"
#include "run/RunInputs.h"
#include "run/RunPlan.h"
#include "run/RunSummary.h"
#include "run/TaggingRunEvents.h"

namespace Exiv2 {
class Image;
}
class Exiv2MessageCapture;

// How the write side works; tests choose their own.
struct WriteSettings {
    BatchLimits batchLimits;
    size_t writeThreads = WriteThreads::ForThisMachine();  // 0: the run's thread makes each file
    const WriteFaults* faults = nullptr;                   // injected into every write
};

class PlanWriter {
public:
    // Everything handed over must outlive the writer.
    PlanWriter(const TaggingRunInputs& inputs, TrackMatcher& matcher, const WriteSettings& settings,
               const std::atomic<bool>& stop);
    PlanWriter(const PlanWriter&) = delete;
    PlanWriter& operator=(const PlanWriter&) = delete;

    // Tags the planned photos of one hot folder in order, counting each into `summary` and
    // reporting the counts to `events`, when given, after every photo. A photo that cannot be
    // read or written, or whose identity a replacement could not keep, is left as it was with
    // an Error line "Skipping <path>: <reason>"; a photo whose GPS tags already hold the position
    // is not rewritten. A photo that changed since it was planned is placed again as it is now.
    // Stops between photos once a stop is requested; what is already tagged is put in place.
    void ProcessHotFolder(const PlannedFolder& folder, RunSummary& summary,
                          TaggingRunEvents* events);

private:
    // A photo in hand: counted once the photos before it are; its new file may be in the making.
    struct PhotoInHand {
        const PlannedPhoto* planned = nullptr;
        ImageResult result;
        std::unique_ptr<PhotoWrite> write;
    };
    using Prepare = std::function<Status(PendingReplacement&)>;

    // The report of a photo placed so.
    PhotoReport ReportOf(const PlannedPhoto& photo, const Placement& placement) const;
    // Decides what becomes of the photo in hand and, when it is to be tagged, hands the making
    // of its new file to `writers`.
    void PrepareImage(PhotoInHand& inHand, WriteThreads& writers);
    // A photo written in its file (JPEG, TIFF, HEIF, WebP, PNG), or its sidecar where the file
    // cannot take the position.
    ImageResult WritePhoto(const PlannedPhoto& planned, const Exiv2MessageCapture& exiv2Messages,
                           std::unique_ptr<PhotoWrite>& write);
    ImageResult WriteRaw(const PlannedPhoto& planned);
    // The placement's outcome as the photo's result, for a photo that is not tagged.
    static ImageOutcome OutcomeOf(const Placement& placement);
    // Edits the photo of `format` to hold `position`; `write` receives the photo and its new
    // content. Where its file cannot take it, its sidecar does (TagSidecar).
    ImageOutcome TagImage(const ImageFile& file, PhotoFormat format, PhotoSource& photo,
                          const Exiv2::Image& image, const GeoPosition& position,
                          const Exiv2MessageCapture& exiv2Messages, ImageResult& result,
                          std::unique_ptr<PhotoWrite>& write);
    // Queues the sidecar of a RAW photo (or of one whose file cannot take the position) with
    // `position`, unless it holds it or one to keep.
    ImageOutcome TagSidecar(const ImageFile& raw, const GeoPosition& position, ImageResult& result);
    // A photo whose file cannot take the position for `reason`: its sidecar does, where sidecars
    // are written; otherwise it is skipped.
    ImageOutcome TagSidecarInstead(const ImageFile& file, const std::string& reason,
                                   const GeoPosition& position, ImageResult& result);
    // Finishes the photos in hand, from the first, until at most `keep` remain.
    void FinishImages(std::deque<PhotoInHand>& inHand, size_t keep, RunSummary& summary,
                      TaggingRunEvents* events);
    // Puts in place the new file of the photo at `path` when it is in hand or in the batch by
    // another name (a symbolic link, a folder listed twice): reading it again would break its
    // lease.
    void MakeWayFor(const std::string& path, std::deque<PhotoInHand>& inHand, RunSummary& summary,
                    TaggingRunEvents* events);
    // Queues the new file of the first photo in hand; false, with the photo reported, when it is
    // not queued.
    bool QueueWritten(PhotoWrite& write, std::deque<PhotoInHand>& inHand);
    // On a full disk the new files of the other photos in hand are dropped, and they and the rest
    // of the folder's are made one at a time, in order, as they are queued.
    void MakeRestInTurn(std::deque<PhotoInHand>& inHand, const PhotoWrite& current);
    // Queues a new file; when it did not fit on the disk, the batch is put in place, the space
    // of the originals it replaced freed, and the file made once more by `prepare`.
    Status QueuePrepared(Status prepared, const Prepare& prepare, PendingReplacement& pending);
    void CommitPendingWrites();
    void ReportNotReplaced(const std::vector<NotReplaced>& photos);
    // Moves the photos counted as tagged that their batch then left as they were to skipped.
    void CountUncommitted(RunSummary& summary);
    // The alignment a new header keeps: a block, unless the file system is known to share none.
    size_t HeaderAlignmentFor(const PhotoSource& photo);

    const TaggingRunInputs& m_Inputs;
    TrackMatcher& m_Matcher;
    WriteSettings m_Settings;
    const std::atomic<bool>& m_Stop;
    ReplacementBatch m_Batch;
    // Tagged photos their batch left as they were, not yet counted: by the batch's tag.
    std::vector<int> m_Uncommitted;
    TaggingRunEvents* m_Events = nullptr;          // of the folder in progress
    std::map<dev_t, BlockSharing> m_BlockSharing;  // by file system, since the folder began
    bool m_MakeInTurn = false;  // the folder's disk was full: new files are made in order
};
