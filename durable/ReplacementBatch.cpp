// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/ReplacementBatch.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <system_error>
#include <thread>

#include "durable/FileIdentity.h"
#include "durable/FileIo.h"
#include "durable/FileLease.h"
#include "platform/PathText.h"

namespace {

constexpr size_t kFlushThreads = 8;

const char kChanged[] = "it changed while being tagged; the next run will tag it";
const char kOpenedMeanwhile[] =
    "another program opened it while it was being tagged; the next run will tag it";
const char kInUse[] =
    "it is open in another program (perhaps still being copied); the next run will tag it";

// Flushes the new files `which`, several at a time: the disk then confirms many with one cache
// flush, where flushing one after the other would wait for it once per file. Sets the error
// text of each that is not on disk.
void SyncEachAlone(const std::vector<PendingReplacement>& pending, const std::vector<size_t>& which,
                   std::vector<Status>& errors) {
    std::atomic<size_t> next{0};
    const auto work = [&] {
        for (size_t n; (n = next++) < which.size();) {
            errors[which[n]] = pending[which[n]].file.Sync();
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (size_t n = 1; n < std::min(which.size(), kFlushThreads); ++n) {
            helpers.emplace_back(work);
        }
    } catch (const std::system_error&) {  // no more threads: fewer flush at once
    }
    work();
    for (std::thread& helper : helpers) {
        helper.join();
    }
}

// The file system that an open file is on.
dev_t FileSystemOf(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 ? info.st_dev : 0;
}

// Flushes every new file. One flush of each file system the batch writes to puts all its files
// on disk at once: flushed one by one, each file costs the disk a cache flush of its own, which
// on a slow disk takes most of a run. Where a file system's flush reports an error, each of its
// files is flushed alone, so that the ones that failed are known. Returns each file's status.
std::vector<Status> SyncAll(const std::vector<PendingReplacement>& pending) {
    std::vector<Status> errors(pending.size());
    std::map<dev_t, std::vector<size_t>> byFileSystem;
    for (size_t i = 0; i < pending.size(); ++i) {
        errors[i] = pending[i].file.MaySync();
        if (errors[i].ok()) {
            byFileSystem[FileSystemOf(pending[i].file.Fd())].push_back(i);
        }
    }
    std::vector<size_t> alone;
    for (const auto& [device, files] : byFileSystem) {
        if (!pending[files.front()].file.SyncFileSystem()) {
            alone.insert(alone.end(), files.begin(), files.end());
        }
    }
    SyncEachAlone(pending, alone, errors);
    return errors;
}

// Why the original of `pending`, at `displaced` now, must take its name back: it changed, or
// another program opened it for writing (its lease broke); empty when it may go.
Status DisplacedProblem(const PendingReplacement& pending, const std::string& displaced) {
    if (!IsSameContent(displaced, pending.original)) {
        return Status::Refused(kChanged);
    }
    if (pending.leased && !IsLeaseIntact(pending.originalFd.Get())) {
        return Status::Refused(kOpenedMeanwhile);
    }
    return Status::Ok();
}

// Whether the displaced original may go. Its lease is let go while it still has a name, and
// taken again: a program whose open found it before the swap, and reached it only after the
// last check, then holds it open for writing or has written to it, and it must take its name
// back rather than lose those writes.
Status FinalCheck(PendingReplacement& pending, const std::string& displaced) {
    Status problem = DisplacedProblem(pending, displaced);
    if (!problem.ok() || !pending.leased) {
        return problem;
    }
    if (!DurableStepAllowed(pending.faults, "release")) {
        return Status::Refused(kOpenedMeanwhile);
    }
    ReleaseLease(pending.originalFd.Get());
    pending.leased = TakeReadLease(pending.originalFd.Get()) == FileLease::Held;
    return pending.leased && IsSameContent(displaced, pending.original)
               ? Status::Ok()
               : Status::Refused(kOpenedMeanwhile);
}

// Once every photo of the batch has its new file's name, and the folders are flushed, lets each
// original go unless FinalCheck refuses: such an original takes its name back, its new file
// goes, and the photo is added to `left`; the folders of those are flushed again. Releases
// every lease.
void SettleDisplaced(std::vector<PendingReplacement>& batch, std::vector<NotReplaced>& left) {
    std::set<std::string> tookBack;
    for (PendingReplacement& pending : batch) {
        if (!pending.replaced) {
            continue;
        }
        const Status kept = pending.file.Settle(
            pending.target,
            [&pending](const std::string& displaced) { return FinalCheck(pending, displaced); });
        if (!kept.ok()) {
            pending.replaced = false;
            left.push_back({pending.path, kept.message(), pending.tag});
            tookBack.insert(FolderOf(pending.target));
        }
        if (pending.leased) {
            ReleaseLease(pending.originalFd.Get());  // a waiting opener goes on
        }
    }
    for (const std::string& folder : tookBack) {
        SyncFolder(folder);
    }
}

}  // namespace

Status PrepareNewFile(const std::string& path, const std::string& target,
                      const std::string& content, PendingReplacement& pending,
                      const WriteFaults* faults) {
    pending.path = path;
    pending.target = target;
    pending.createsNew = true;
    const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
    Status made = pending.file.Create(FolderOf(target), faults);
    if (made.ok()) {
        made = pending.file.Append(bytes, content.size());
    }
    if (made.ok() && fchmod(pending.file.Fd(), 0666 & ~FileCreationMask()) != 0) {
        made = Status::FromErrno(errno, "cannot set the permissions of the new file");
    }
    if (!made.ok()) {
        pending.file = TemporaryFile();
        return made;
    }
    pending.file.StartWriteback();
    return made;
}

// The steps that make the new file of `original` in `pending.file`: each piece of `content` is
// one append.
Status MakeReplacement(OpenOriginal& original, const NewContent& content,
                       PendingReplacement& pending, const WriteFaults* faults) {
    Status made = pending.file.Create(FolderOf(original.target), faults);
    if (made.ok()) {
        made = CopyFileFlags(original.fd.Get(), pending.file.Fd(), faults);  // before any data
    }
    const uint64_t size = static_cast<uint64_t>(original.info.st_size);
    for (const ContentPiece& piece : content) {
        if (!made.ok()) {
            break;
        }
        if (!piece.fromOriginal) {
            made = pending.file.Append(reinterpret_cast<const unsigned char*>(piece.bytes.data()),
                                       piece.bytes.size());
        } else if (piece.length > 0 &&
                   (piece.offset > size || piece.length > size - piece.offset)) {
            made = Status::Failed("the new file names bytes the original does not hold");
        } else {
            made = pending.file.AppendFrom(original.fd.Get(), piece.offset, piece.length);
        }
    }
    if (made.ok()) {
        made = CopyIdentity(original.fd.Get(), original.info, pending.file.Fd(), faults);
    }
    return made;
}

Status PrepareReplacement(const std::string& path, OpenOriginal& original,
                          const unsigned char* head, size_t headSize, PendingReplacement& pending,
                          const WriteFaults* faults) {
    const NewContent content{GivenBytes(std::string(reinterpret_cast<const char*>(head), headSize)),
                             OriginalRange(original.tailOffset, original.TailSize())};
    return PrepareReplacement(path, original, content, pending, faults);
}

Status PrepareReplacement(const std::string& path, OpenOriginal& original,
                          const NewContent& content, PendingReplacement& pending,
                          const WriteFaults* faults) {
    Status blocker = ReplacementBlocker(original.target, original.info);
    if (!blocker.ok()) {
        return blocker;
    }
    const FileLease lease = TakeReadLease(original.fd.Get());
    if (lease == FileLease::InUse || !LockAsOurs(original.fd.Get(), true)) {
        return Status::Refused(kInUse);
    }
    pending.leased = lease == FileLease::Held;
    pending.faults = faults;
    pending.path = path;
    pending.target = original.target;
    pending.original = original.info;
    Status made = MakeReplacement(original, content, pending, faults);
    if (!made.ok()) {
        pending.file = TemporaryFile();
        return made;
    }
    pending.file.StartWriteback();
    pending.originalFd = std::move(original.fd);
    return made;
}

void ReplacementBatch::BeginFolder(const std::string& folder) {
    clock_gettime(CLOCK_REALTIME, &m_FolderStart);
    m_CleanFolders.clear();
    RemoveStaleTemporaries(folder, m_FolderStart, m_IsOurs);
    m_CleanFolders.insert(folder);
}

void ReplacementBatch::Add(PendingReplacement pending) {
    if (m_CleanFolders.insert(pending.file.Folder()).second) {
        RemoveStaleTemporaries(pending.file.Folder(), m_FolderStart, m_IsOurs);
    }
    if (m_Pending.empty()) {
        m_FirstAdded = std::chrono::steady_clock::now();
    }
    m_Bytes += pending.file.Size();
    m_Pending.push_back(std::move(pending));
}

bool ReplacementBatch::Holds(const struct stat& info) const {
    const auto isIt = [&info](dev_t device, ino_t inode) {
        return device == info.st_dev && inode == info.st_ino;
    };
    return std::any_of(m_Pending.begin(), m_Pending.end(),
                       [&](const PendingReplacement& p) {
                           return isIt(p.original.st_dev, p.original.st_ino);
                       }) ||
           std::any_of(m_InFlightFiles.begin(), m_InFlightFiles.end(),
                       [&](const auto& file) { return isIt(file.first, file.second); });
}

bool ReplacementBatch::IsDue() const {
    return !m_Pending.empty() && (m_Pending.size() >= m_Limits.count || m_Bytes >= m_Limits.bytes ||
                                  std::chrono::steady_clock::now() - m_FirstAdded >= m_Limits.age);
}

std::vector<NotReplaced> ReplacementBatch::Commit() {
    std::vector<NotReplaced> left = FinishCommitInFlight();
    std::vector<PendingReplacement> batch = TakePending();
    std::vector<NotReplaced> now = PutInPlace(batch);
    left.insert(left.end(), std::make_move_iterator(now.begin()),
                std::make_move_iterator(now.end()));
    return left;
}

std::vector<NotReplaced> ReplacementBatch::CommitInBackground() {
    std::vector<NotReplaced> left = FinishCommitInFlight();
    m_InFlight = TakePending();
    for (const PendingReplacement& pending : m_InFlight) {
        m_InFlightFiles.emplace_back(pending.original.st_dev, pending.original.st_ino);
    }
    try {
        m_Committer = std::thread([this] { m_InFlightLeft = PutInPlace(m_InFlight); });
    } catch (const std::system_error&) {  // no thread to spare: commit right here
        m_InFlightLeft = PutInPlace(m_InFlight);
    }
    return left;
}

std::vector<NotReplaced> ReplacementBatch::FinishCommitInFlight() {
    if (m_Committer.joinable()) {
        m_Committer.join();
    }
    m_InFlight.clear();
    m_InFlightFiles.clear();
    return std::exchange(m_InFlightLeft, {});
}

std::vector<PendingReplacement> ReplacementBatch::TakePending() {
    m_Bytes = 0;
    return std::exchange(m_Pending, {});
}

std::vector<NotReplaced> ReplacementBatch::PutInPlace(std::vector<PendingReplacement>& batch) {
    std::vector<NotReplaced> left;
    size_t done = 0;  // photos before this one are replaced or in `left`
    try {
        const std::vector<Status> flushed = SyncAll(batch);
        std::set<std::string> folders;
        std::vector<UniqueFd> replaced;
        for (; done < batch.size(); ++done) {
            PendingReplacement& pending = batch[done];
            const Status placed = flushed[done].ok() ? ReplaceIfUnchanged(pending) : flushed[done];
            if (!placed.ok()) {
                left.push_back({pending.path, placed.message(), pending.tag});
                continue;
            }
            pending.replaced = true;
            folders.insert(pending.file.Folder());
        }
        for (const std::string& folder : folders) {
            SyncFolder(folder);
        }
        SettleDisplaced(batch, left);
        for (PendingReplacement& pending : batch) {
            if (pending.replaced) {
                replaced.push_back(std::move(pending.originalFd));
            }
        }
        ReleaseOnAThreadOfTheirOwn(std::move(replaced));
    } catch (const std::exception& e) {
        for (size_t i = done; i < batch.size(); ++i) {
            if (!batch[i].replaced) {
                left.push_back({batch[i].path, e.what(), batch[i].tag});
            }
        }
    }
    batch.clear();
    return left;
}

Status ReplacementBatch::ReplaceIfUnchanged(PendingReplacement& pending) {
    if (pending.createsNew) {
        return pending.file.PlaceNew(pending.target);
    }
    if (!IsUnchanged(pending.target, pending.original)) {
        return Status::Refused(kChanged);
    }
    if (pending.leased && !IsLeaseIntact(pending.originalFd.Get())) {
        return Status::Refused(kOpenedMeanwhile);
    }
    // Asked again once the new file has the original's name, while the original still has one:
    // a program that opened the original until then has broken the lease, and its writes go
    // into the original, which then takes its name back (SettleDisplaced).
    return pending.file.Replace(
        pending.target,
        [&pending](const std::string& displaced) { return DisplacedProblem(pending, displaced); },
        true);
}

void ReplacementBatch::ReleaseOnAThreadOfTheirOwn(std::vector<UniqueFd> originals) {
    JoinReleaser();
    try {
        m_Releaser =
            std::thread([originals = std::move(originals)]() mutable { originals.clear(); });
    } catch (const std::system_error&) {  // no thread: the originals are released right here
    }
}

void ReplacementBatch::WaitForReleases() {
    m_InFlightLeft = FinishCommitInFlight();  // kept for the next commit to report
    JoinReleaser();
}

void ReplacementBatch::JoinReleaser() {
    if (m_Releaser.joinable()) {
        m_Releaser.join();
    }
}

void ReplacementBatch::Abandon() {
    TakePending();
}
