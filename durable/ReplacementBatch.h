// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// New files replace their originals in batches: each new file is written and given the
// original's identity, then a batch of them is flushed to disk together, each original that
// is still as it was read is replaced by one rename, and each folder is flushed once. At every
// instant a file is either its original or the complete new file. A batch may be committed on a
// thread of its own while the next one is prepared.

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "durable/NewContent.h"
#include "durable/OpenOriginal.h"
#include "durable/StaleTemporaries.h"
#include "durable/TemporaryFile.h"
#include "platform/Status.h"

// A new file waiting to replace its original.
struct PendingReplacement {
    std::string path;         // as the caller names it, for reports
    std::string target;       // the file itself
    struct stat original {};  // the original as it was when read
    UniqueFd originalFd;      // the original, held open (and locked) until after it is replaced
    bool leased = false;      // originalFd holds a read lease
    TemporaryFile file;       // the complete new file, with the original's identity
    bool replaced = false;    // the new file has taken the original's place
    bool createsNew = false;  // no original: the new file takes a name that no file has
    int tag = 0;              // the caller's own mark, handed back in NotReplaced
    const WriteFaults* faults = nullptr;
};

// Prepares the replacement of `original` by `head` followed by the original's bytes from its
// tailOffset (copied inside the kernel, shared where the file system can), and takes over its
// descriptor with a read lease and the lock of a live run on it. Refuses (Refused) a file that
// cannot be replaced without its user noticing (ReplacementBlocker), one another program has
// open for writing or locked; OutOfSpace when the new file does not fit. On any failure nothing
// is left behind and the descriptor stays with `original`, so that it may be tried again. Every
// step asks `faults`, when given, which must outlive `pending`.
Status PrepareReplacement(const std::string& path, OpenOriginal& original,
                          const unsigned char* head, size_t headSize, PendingReplacement& pending,
                          const WriteFaults* faults = nullptr);

// Prepares the replacement of `original` as above by a file made of `content`, whose ranges of
// the original must lie within its size as opened.
Status PrepareReplacement(const std::string& path, OpenOriginal& original,
                          const NewContent& content, PendingReplacement& pending,
                          const WriteFaults* faults = nullptr);

// Prepares a new file `target` holding `content`, readable and writable as the process's
// file-creation mask allows, to be put in place only where no file has that name by then.
Status PrepareNewFile(const std::string& path, const std::string& target,
                      const std::string& content, PendingReplacement& pending,
                      const WriteFaults* faults = nullptr);

// When a batch is due: whichever bound is reached first.
struct BatchLimits {
    size_t count = 128;                    // files
    uint64_t bytes = uint64_t{256} << 20;  // bytes of new files
    std::chrono::milliseconds age{1000};   // since the first file was added
};

// A file that a commit left as it was, and why.
struct NotReplaced {
    std::string path;
    std::string reason;
    int tag = 0;
};

class ReplacementBatch {
public:
    // `isOurs` tells the content of the files the caller writes, for the cleanup of stale
    // temporaries.
    explicit ReplacementBatch(BatchLimits limits, ContentCheck isOurs)
        : m_Limits(limits), m_IsOurs(std::move(isOurs)) {}
    // Finishes the commit in flight, if any, and waits for the releases.
    ~ReplacementBatch() { WaitForReleases(); }
    ReplacementBatch(const ReplacementBatch&) = delete;
    ReplacementBatch& operator=(const ReplacementBatch&) = delete;

    // Starts the work on a folder: removes the temporary files that a killed run left in it,
    // and later in each folder that a new file is made in, once (RemoveStaleTemporaries with
    // this moment as the limit).
    void BeginFolder(const std::string& folder);
    void Add(PendingReplacement pending);
    bool IsEmpty() const { return m_Pending.empty(); }
    // True when the file that `info` describes waits in the batch or in the commit in flight:
    // opening it again before that commit would break its lease.
    bool Holds(const struct stat& info) const;
    size_t Count() const { return m_Pending.size(); }
    // True once a bound is reached: the batch should be committed.
    bool IsDue() const;

    // Flushes every new file, then replaces each original that is unchanged since it was read
    // (device, inode, size, modification and status-change time) and that no other program
    // opened meanwhile (its lease holds), then flushes each folder once. Both are asked again
    // once the new file has the original's name, where the file system swaps names: an original
    // opened by then takes its name back. Finishes the commit in flight first. Returns the files
    // left as they were, with the reason, by this commit and the one in flight; the batch is
    // empty afterwards. The replaced originals are released on a thread of their own, which the
    // next commit waits for. Never throws.
    std::vector<NotReplaced> Commit();
    // Commits as Commit does, on a thread of its own; the batch is empty at once. Returns what
    // the commit in flight before it left as it was.
    std::vector<NotReplaced> CommitInBackground();
    // Finishes the commit in flight, then waits until the replaced originals are released.
    void WaitForReleases();
    // Drops every new file; the originals stay as they are.
    void Abandon();

private:
    std::vector<PendingReplacement> TakePending();
    std::vector<NotReplaced> PutInPlace(std::vector<PendingReplacement>& batch);
    std::vector<NotReplaced> FinishCommitInFlight();
    // Replaces the original by its new file when it is as it was read and no other program
    // opened it for writing since. Where names are swapped, the original keeps a temporary name,
    // its lease and its lock until the whole batch is in place.
    Status ReplaceIfUnchanged(PendingReplacement& pending);
    void ReleaseOnAThreadOfTheirOwn(std::vector<UniqueFd> originals);
    void JoinReleaser();

    BatchLimits m_Limits;
    ContentCheck m_IsOurs;
    std::vector<PendingReplacement> m_Pending;
    uint64_t m_Bytes = 0;
    std::chrono::steady_clock::time_point m_FirstAdded;
    timespec m_FolderStart{};
    std::set<std::string> m_CleanFolders;  // stale temporaries removed since BeginFolder
    std::thread m_Releaser;
    // The commit in flight. Only its thread touches these and the releaser until it is joined.
    std::thread m_Committer;
    std::vector<PendingReplacement> m_InFlight;
    std::vector<std::pair<dev_t, ino_t>> m_InFlightFiles;
    std::vector<NotReplaced> m_InFlightLeft;
};
