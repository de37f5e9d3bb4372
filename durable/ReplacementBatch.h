// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// New files replacing their originals in batches: at every instant a file is either its
// original or the complete new file. A batch may commit on its own thread while the next fills.

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

// Prepares replacing `original` by `head` then its bytes from tailOffset, taking over its
// descriptor with a read lease and a live run's lock. Refused for a file whose replacement would
// show (ReplacementBlocker), or that another program has open for writing or locked; OutOfSpace
// when the new file does not fit. On failure nothing is left and the descriptor stays with
// `original`, to be tried again. Every step asks `faults`, if given; it must outlive `pending`.
Status PrepareReplacement(const std::string& path, OpenOriginal& original,
                          const unsigned char* head, size_t headSize, PendingReplacement& pending,
                          const WriteFaults* faults = nullptr);

// As above, by a file of `content`, whose ranges of the original lie within its size as opened.
Status PrepareReplacement(const std::string& path, OpenOriginal& original,
                          const NewContent& content, PendingReplacement& pending,
                          const WriteFaults* faults = nullptr);

// Prepares new file `target` of `content` (mode per the umask), placed only if the name is free.
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
    // `isOurs` tells the caller's files by content, for the cleanup of stale temporaries.
    explicit ReplacementBatch(BatchLimits limits, ContentCheck isOurs)
        : m_Limits(limits), m_IsOurs(std::move(isOurs)) {}
    // Finishes the commit in flight, if any, and waits for the releases.
    ~ReplacementBatch() { WaitForReleases(); }
    ReplacementBatch(const ReplacementBatch&) = delete;
    ReplacementBatch& operator=(const ReplacementBatch&) = delete;

    // Removes the temporaries a killed run left in `folder` now, and once in each folder a new
    // file is made in later (RemoveStaleTemporaries, older than this call).
    void BeginFolder(const std::string& folder);
    void Add(PendingReplacement pending);
    bool IsEmpty() const { return m_Pending.empty(); }
    // True when `info`'s file waits in the batch or commit in flight (reopening breaks its lease).
    bool Holds(const struct stat& info) const;
    size_t Count() const { return m_Pending.size(); }
    // True once a bound is reached: the batch should be committed.
    bool IsDue() const;

    // Finishes the commit in flight, flushes every new file, replaces each original unchanged
    // since read (IsUnchanged) and not opened by another program (its lease holds), both asked
    // again after a name swap (undone if not), and flushes each folder once. Returns the files
    // left, with the reason, by this commit and the one in flight; the batch is then empty.
    // Originals are released on their own thread, which the next commit waits for. Never throws.
    std::vector<NotReplaced> Commit();
    // As Commit, on its own thread; empty at once. Returns what the prior commit in flight left.
    std::vector<NotReplaced> CommitInBackground();
    // Finishes the commit in flight, then waits until the replaced originals are released.
    void WaitForReleases();
    // Drops every new file; the originals stay as they are.
    void Abandon();

private:
    std::vector<PendingReplacement> TakePending();
    std::vector<NotReplaced> PutInPlace(std::vector<PendingReplacement>& batch);
    std::vector<NotReplaced> FinishCommitInFlight();
    // Replaces the original if as read and not opened for writing since; swapped out, it keeps a
    // temporary name, its lease and lock until the whole batch is in place.
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
