// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tagged photos replace their originals in batches: each new file is written and given the
// original's identity, then a batch of them is flushed to disk together, each original that
// is still as it was read is replaced by one rename, and each folder is flushed once. At every
// instant a photo is either its original or the complete new file. A batch may be committed on
// a thread of its own while the next one is prepared.

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "durable/OpenOriginal.h"
#include "durable/TemporaryFile.h"

// A tagged photo waiting to replace its original.
struct PendingReplacement {
    std::string path;         // as the folder listing named it, for reports
    std::string target;       // the file itself
    struct stat original {};  // the original as it was when read
    UniqueFd originalFd;      // the original, held open until after it is replaced
    bool leased = false;      // originalFd holds a read lease
    TemporaryFile file;       // the complete new file, with the original's identity
    bool replaced = false;    // the new file has taken the original's place
    bool createsNew = false;  // no original: the new file takes a name that no file has
    bool sidecar = false;     // a RAW photo's sidecar, for the counts
};

enum class Preparation {
    Ready,       // the new file is complete and `pending` holds it
    Refused,     // the photo cannot be replaced now; `error` says why
    OutOfSpace,  // the new file did not fit on the disk; `error` says so
};

// Prepares the replacement of `photo` by `head` followed by the photo's bytes after its
// header (copied inside the kernel, its blocks shared where the file system can), and takes
// over the photo's descriptor with a read lease on it. Refuses, with the reason, a photo that
// cannot be replaced without its user noticing (ReplacementBlocker) and one that another
// program has open for writing. On any failure nothing is left behind and the photo's
// descriptor stays with `photo`, so that it may be tried again.
// Every step of the write asks `faults`, when given, which must outlive `pending`.
Preparation PrepareReplacement(const std::string& path, OpenOriginal& photo,
                               const unsigned char* head, size_t headSize,
                               PendingReplacement& pending, std::string& error,
                               const WriteFaults* faults = nullptr);

// Prepares a new file `target` holding `content`, readable and writable as the process's
// file-creation mask allows, to be put in place only where no file has that name by then.
// False with the reason, `pending` empty, when the file cannot be written.
// Every step of the write asks `faults`, when given, as above.
Preparation PrepareNewFile(const std::string& path, const std::string& target,
                           const std::string& content, PendingReplacement& pending,
                           std::string& error, const WriteFaults* faults = nullptr);

// When a batch is due: whichever bound is reached first.
struct BatchLimits {
    size_t count = 128;                    // photos
    uint64_t bytes = uint64_t{256} << 20;  // bytes of new files
    std::chrono::milliseconds age{1000};   // since the first photo was added
};

// A photo that a commit left as it was, and why.
struct NotReplaced {
    std::string path;
    std::string reason;
    bool sidecar = false;  // a RAW photo's sidecar
};

class ReplacementBatch {
public:
    explicit ReplacementBatch(BatchLimits limits = BatchLimits()) : m_Limits(limits) {}
    // Finishes the commit in flight, if any, and waits for the releases.
    ~ReplacementBatch() { WaitForReleases(); }
    ReplacementBatch(const ReplacementBatch&) = delete;
    ReplacementBatch& operator=(const ReplacementBatch&) = delete;

    void SetLimits(BatchLimits limits) { m_Limits = limits; }

    // Starts the work on a hot folder: removes the temporary files that a killed run left in
    // it, and later in each folder that a photo's new file is made in, once (RemoveStaleTemporaries
    // with this moment as the limit).
    void BeginFolder(const std::string& folder);
    void Add(PendingReplacement pending);
    bool IsEmpty() const { return m_Pending.empty(); }
    // True when the file that `info` describes waits in the batch, or in the commit in flight:
    // opening it again before that commit would break its lease.
    bool Holds(const struct stat& info) const;
    size_t Count() const { return m_Pending.size(); }
    // True once a bound is reached: the batch should be committed.
    bool IsDue() const;

    // Flushes every new file, then replaces each original that is unchanged since it was read
    // (same device, inode, size, modification and status-change time) and that no other
    // program opened meanwhile (its lease holds), then flushes each folder once. Both are asked
    // again once the new file has the photo's name, where the file system swaps names: an
    // original opened by then takes its name back, so no program's writes are lost in it. Finishes
    // the commit in flight first. Returns the photos left as they were, with the reason, by this
    // commit and by the one in flight; the batch is empty afterwards. The replaced originals are
    // released on a thread of their own (a file system may take its time to free their space),
    // which the next commit waits for. A step that throws leaves each photo it has not replaced
    // as it was, reported with the exception's text.
    std::vector<NotReplaced> Commit();
    // Commits the batch as Commit does, but on a thread of its own, so that the next batch is
    // prepared while this one goes to disk; the batch is empty at once. Finishes the commit in
    // flight first, and returns the photos that one left as they were. Without a thread to
    // spare, commits right here and keeps what it left for the next call.
    std::vector<NotReplaced> CommitInBackground();
    // Finishes the commit in flight, then waits until the originals that earlier commits
    // replaced are released.
    void WaitForReleases();
    // Drops every new file; the originals stay as they are.
    void Abandon();

private:
    // The batch, handed over to a commit; the batch is empty afterwards.
    std::vector<PendingReplacement> TakePending();
    // Commits `batch` (see Commit); returns the photos left as they were. Never throws.
    std::vector<NotReplaced> PutInPlace(std::vector<PendingReplacement>& batch);
    // Waits for the commit in flight, if any; returns what it left as it was.
    std::vector<NotReplaced> FinishCommitInFlight();
    // Replaces the original of `pending` by its new file when the original is as it was read
    // and no other program opened it for writing since. Returns the reason when it does not.
    // Where the file system swaps names, the original keeps a temporary name and its lease
    // until the whole batch is in place (SettleDisplaced, in the source).
    std::string ReplaceIfUnchanged(PendingReplacement& pending);
    // Releases the replaced originals, their space freed, on a thread that the next commit
    // waits for; a file system may take its time to free it.
    void ReleaseOnAThreadOfTheirOwn(std::vector<UniqueFd> originals);
    void JoinReleaser();

    BatchLimits m_Limits;
    std::vector<PendingReplacement> m_Pending;
    uint64_t m_Bytes = 0;
    std::chrono::steady_clock::time_point m_FirstAdded;
    timespec m_FolderStart{};
    std::set<std::string> m_CleanFolders;  // stale temporaries removed since BeginFolder
    std::thread m_Releaser;
    // The commit in flight: its batch, which files it holds, and what it left as it was. Only
    // its thread touches the batch, the releaser and the results until it is joined.
    std::thread m_Committer;
    std::vector<PendingReplacement> m_InFlight;
    std::vector<std::pair<dev_t, ino_t>> m_InFlightFiles;
    std::vector<NotReplaced> m_InFlightLeft;
};
