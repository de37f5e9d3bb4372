// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tagging engine: it holds the track log, matches capture times to track points and writes
// the GPS tags into the photos of the hot folders. A run works on a worker thread with a copy
// of its inputs; the engine knows nothing of the one who started it beyond its events.

#include <sys/types.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "durable/ReplacementBatch.h"
#include "durable/WriteThreads.h"
#include "match/CameraClock.h"
#include "match/TimestampMatcher.h"
#include "photo/HotFolderFiles.h"
#include "photo/PhotoSource.h"
#include "platform/FileTime.h"
#include "run/RunInputs.h"
#include "run/RunSummary.h"
#include "run/TaggingRunEvents.h"
#include "track/TrackLog.h"

// What became of one image of a hot folder.
enum class ImageOutcome {
    Tagged,         // rewritten with the matched point's position
    AlreadyTagged,  // its GPS tags already held the matched point's position; left as it was
    NoMatch,        // no track point within the tolerance; left as it was
    NoCaptureTime,  // a capture time that does not form a valid date; left as it was
    Skipped,        // could not be read or written; reported, and left as it was
    HadPosition,    // carried a position of its own, kept as the run was asked to
};

// What became of one image, and whether it was read with the time offset it records itself.
struct ImageResult {
    ImageOutcome outcome = ImageOutcome::Skipped;
    bool ownOffset = false;
    bool raw = false;             // a RAW photo
    bool sidecarWritten = false;  // its sidecar's new content waits in the batch
    bool unreadable = false;      // the image library cannot read the RAW photo
};

// One photo's capture time as matching uses it: the camera reading less the clock correction,
// and the offset that turns it into UTC.
struct PhotoCapture {
    int64_t corrected = 0;  // FILETIME count on the camera's corrected clock
    CaptureOffset offset;
};

namespace Exiv2 {
class ExifData;
class Image;
}  // namespace Exiv2
class Exiv2MessageCapture;
struct PhotoWrite;
struct PhotoInHand;

class TaggingEngine {
public:
    TaggingEngine();
    TaggingEngine(const TaggingEngine&) = delete;
    TaggingEngine& operator=(const TaggingEngine&) = delete;

    // The track points that matching uses: loaded by a run, emptied when the program ends.
    TrackLog& Track() { return m_TrackLog; }
    const TrackLog& Track() const { return m_TrackLog; }

    // The inputs that FindBestMatch and ProcessHotFolder work with. A run sets them from its
    // own; set them before calling either outside a run.
    void SetRunInputs(const TaggingRunInputs& inputs) { m_Inputs = inputs; }
    // When a batch of tagged images is put in place.
    void SetBatchLimits(BatchLimits limits) { m_Batch.SetLimits(limits); }
    // Faults injected into every write of the engine's (see WriteFaults); tests only.
    void SetWriteFaultHook(WriteFaults::Hook hook) { m_WriteFaults.SetHook(std::move(hook)); }
    // How many threads make tagged photos' new files (WriteThreads): by default as many as
    // suit the machine; with 0 the run makes each one itself before it reads the next photo.
    void SetWriteThreads(size_t count) { m_WriteThreads = count; }

    // The closest track point to a capture time (a FILETIME count on the camera's clock)
    // within the inputs' tolerance, after shifting the points by `bias` (100-ns units, UTC =
    // capture + bias: the zone's bias, or the offset the photo's time is read with); the first
    // of equally close points wins. Returns nullptr when no point lies in the window. While
    // the log is open every point is examined in order and logged; otherwise a sorted index
    // answers.
    const TrackPoint* FindBestMatch(int64_t capture, int64_t bias);

    // Tags every listed JPEG image of hot folder `folder` whose capture time matches a track
    // point, and, unless the inputs' RAW sidecar switch is off, writes the position of every
    // matching listed RAW photo into its XMP sidecar (the RAW file is only read). Counts what
    // becomes of each image into `summary`, reporting the counts to `events`, when given,
    // after every image.
    // Images are rewritten only when they match, each through a new file that replaces the
    // original once it is on disk, in batches; the folder's batch is finished before this
    // returns. An image that cannot be read or written, or whose identity (owner, group,
    // permissions, extended attributes, hard links) a replacement could not keep, is left as it
    // was, with an Error line "Skipping <path>: <reason>" in the log and a trace; processing goes
    // on with the next one. A photo whose GPS tags already hold the position is not rewritten.
    // The new files are made on the write threads while the next images are read, a few
    // images ahead at most; each image is counted, and reported when its new file cannot be
    // made, in the listing's order. Stops early, between images, once RequestStop has been
    // called: the images in hand are finished, and those already tagged still put in place.
    void ProcessHotFolder(const std::string& folder, const std::vector<ImageFile>& images,
                          RunSummary& summary, TaggingRunEvents* events);

    // One tagging pass, run on a worker thread with `inputs`, which it keeps: the track log
    // emptied and reloaded from the GPX path (a file, or a folder of tracks), then the hot
    // folders 1 to 4 that take part listed and processed in order. Reports RunStarted first,
    // the counts as they grow, and RunFinished with the summary last, whatever happens while
    // loading or processing; a stop request skips the photos and folders not yet begun. The
    // summary is also the run's last log line, at level Info.
    void RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs);

    // Asks a running pass to stop: a GPX file being read is abandoned, and ProcessHotFolder
    // stops after the image in hand. Thread-safe.
    void RequestStop() { m_StopRequested = true; }
    void ClearStopRequest() { m_StopRequested = false; }

private:
    // Loads the track log and processes the enabled hot folders, counting into `summary`.
    void LoadAndProcess(TaggingRunEvents& events, RunSummary& summary);
    // Reads, matches and edits the image of `inHand`, and, when it is to be tagged, hands the
    // making of its new file to `writers`. An image the image library cannot handle is
    // reported, with Exiv2's messages about it in the reason, and counted as skipped.
    void ReadImage(PhotoInHand& inHand, WriteThreads& writers);
    // Tags one image when it matches; `write` receives its new file's header and source when
    // it is to be written, the outcome then being Tagged until the file is made. Throws on an
    // image the image library cannot handle.
    ImageResult ProcessImage(const std::string& path, uint64_t lastWriteTime,
                             const Exiv2MessageCapture& exiv2Messages,
                             std::unique_ptr<PhotoWrite>& write);
    // Finishes the images in hand, from the first, until at most `keep` remain: waits for each
    // one's new file, queues it in the batch (or reports why not) and counts the image. Tagged
    // means the new file is complete and waits in the batch; should the batch then fail to put
    // it in place, ReportNotReplaced reports it.
    void FinishImages(std::deque<PhotoInHand>& inHand, size_t keep, RunSummary& summary,
                      TaggingRunEvents* events);
    // Puts in place the new file of the image at `path` when it is already in hand or in the
    // batch, by another name (a symbolic link, a folder listed twice): reading it again before
    // would break its lease.
    void MakeWayFor(const std::string& path, std::deque<PhotoInHand>& inHand, RunSummary& summary,
                    TaggingRunEvents* events);
    // Queues the new file of the first image in hand, made by a write thread or, once the disk
    // has been found full, made here. Where it did not fit on the disk, makes it once more as
    // QueuePrepared does, after MakeRestInTurn. False, with the image reported, when it is not
    // queued.
    bool QueueWritten(PhotoWrite& write, std::deque<PhotoInHand>& inHand);
    // On a full disk the write threads would take the space that putting the batch in place
    // frees before the image that needs it is made again: the new files already made for the
    // other images in hand are dropped, and they and the rest of the folder's images are made
    // one at a time, in order, as they are queued.
    void MakeRestInTurn(std::deque<PhotoInHand>& inHand, const PhotoWrite& current);
    // Writes a matching RAW photo's position into its sidecar. A RAW photo the image library
    // cannot read, or reads no Exif data from (a CR3 it takes for a movie), is reported once,
    // with the reason, and counted as unreadable.
    ImageResult ProcessRawPhoto(const ImageFile& raw);
    // The point a photo read into `exif` is tagged with; nullptr, with the outcome in `result`,
    // when it is not tagged. Logs the match.
    const TrackPoint* MatchPhoto(const Exiv2::ExifData& exif, uint64_t lastWriteTime,
                                 ImageResult& result);
    // Queues the RAW photo's sidecar with the position of `point`, unless it holds it already.
    ImageOutcome TagSidecar(const ImageFile& raw, const TrackPoint& point, ImageResult& result);
    // Puts the batch's tagged images in place, and those of the commit in flight; reports each
    // one left as it was.
    void CommitPendingWrites();
    // Reports each image that a commit left as it was, to be counted as skipped.
    void ReportNotReplaced(const std::vector<NotReplaced>& photos);
    // Moves the images counted as tagged that their batch then left as they were to skipped.
    void CountUncommitted(RunSummary& summary);
    // The capture time of an image: its Exif DateTimeDigitized, corrected and read with its
    // offset, or the file's last-write time read with the bias when it has none; nothing when
    // the date is not a valid one. Logs what it reads.
    std::optional<PhotoCapture> CaptureTime(const Exiv2::ExifData& exif, uint64_t lastWriteTime);
    // The photo's own offset when the clock takes it and the photo records a well-formed one;
    // a malformed one is reported and ignored.
    std::optional<int32_t> PhotoOffset(const Exiv2::ExifData& exif) const;
    // Writes `point` into the photo's GPS tags (`image` is what Exiv2 read from its header);
    // `write` receives the photo and its new header. Leaves a photo that already holds the
    // point as it is.
    ImageOutcome TagImage(const std::string& path, PhotoSource& photo, const Exiv2::Image& image,
                          const TrackPoint& point, const Exiv2MessageCapture& exiv2Messages,
                          std::unique_ptr<PhotoWrite>& write);
    // Queues a new file, `prepared` telling how its making went. When it did not fit on the
    // disk, the batch is put in place first, the space of the originals it replaced freed, and
    // the file made once more by `prepare`. Returns false with the reason when it is not queued.
    using Prepare = std::function<Preparation(PendingReplacement&, std::string&)>;
    bool QueuePrepared(Preparation prepared, const Prepare& prepare, PendingReplacement& pending,
                       std::string& error);
    // The alignment a new header of `photo` keeps (see EditExifGps): a block, so that its
    // image data may be shared, not copied, unless its file system is known to have no shared
    // blocks, where padding would only make the photo larger. Probes each file system once a
    // folder (ProbeBlockSharing).
    size_t HeaderAlignmentFor(const PhotoSource& photo);
    bool UseLogfile() const { return m_Inputs.useLogfile; }
    // A line of the tagging's own, written only while the log file setting is on.
    void WriteLogLine(unsigned level, const std::string& message) const;

    TaggingRunInputs m_Inputs;
    TrackLog m_TrackLog;
    TrackTimeIndex m_Index;
    WriteFaults m_WriteFaults;  // before the batch, whose files ask it until they are gone
    ReplacementBatch m_Batch;
    size_t m_Uncommitted = 0;  // tagged images their batch left as they were, not yet counted
    size_t m_UncommittedSidecars = 0;  // of these, sidecars
    size_t m_WriteThreads = WriteThreads::ForThisMachine();
    std::map<dev_t, BlockSharing> m_BlockSharing;  // by file system, since the folder began
    bool m_MakeInTurn = false;  // the folder's disk was full: new files are made in order
    std::atomic<bool> m_StopRequested{false};
};
