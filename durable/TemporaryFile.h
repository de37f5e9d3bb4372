// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Replacing files so that a crash, a kill or a full disk never leaves one damaged and never
// leaves anything behind. The new content is prepared in a file of the same folder that has no
// name (or, where the file system cannot make one, a short hidden name), is flushed to disk,
// and only then takes the place of the old file by a rename.

#include <time.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "platform/UniqueFd.h"

// Faults that a disk, a kill or another program cause, injected into the steps of a write by
// tests; the program never sets a hook. The hook is called before each step with the step's
// name ("unnamed", "create", "flags", "write", "copy", "owner", "xattr", "chmod", "sync",
// "syncfs", "link", "rename", "recheck" once the new file has the target's name, and "settle"
// before a displaced file that Replace kept loses its name); returning
// false makes that step fail as the system would, with errno as the hook left it ("unnamed" failing
// makes the file a named one, as on a file system without unnamed files). It is handed to the
// writes it concerns, never reached as process-wide state; calls are serialised.
class WriteFaults {
public:
    using Hook = std::function<bool(const std::string& step)>;
    void SetHook(Hook hook);
    // False when the hook fails `step`.
    bool Allows(const char* step) const;

private:
    mutable std::mutex m_Mutex;
    Hook m_Hook;
};

// True unless `faults` is given and fails `step`: every step of a write asks before it is taken.
bool DurableStepAllowed(const WriteFaults* faults, const char* step);

// A file being prepared in a folder to replace another one there. It cannot outlive the
// process: it has no name until Replace, or a hidden one that RemoveStaleTemporaries matches.
// Destroying it before Replace discards it.
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(TemporaryFile&& other) noexcept { *this = std::move(other); }
    TemporaryFile& operator=(TemporaryFile&& other) noexcept;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates an empty file that only its owner may read and write, in `folder`. Returns false
    // with an error text when the folder does not take one. Every step on the file asks
    // `faults`, when given, which must outlive the file.
    bool Create(const std::string& folder, std::string& error, const WriteFaults* faults = nullptr);
    int Fd() const { return m_Fd.Get(); }
    uint64_t Size() const { return m_Size; }
    const std::string& Folder() const { return m_Folder; }

    // Appends bytes. False with an error text when they cannot all be written (a full disk).
    bool Append(const unsigned char* data, size_t size, std::string& error);
    // Appends `length` bytes of the open file `source` from `offset`, copied inside the kernel
    // where the file system allows it. When the file's size and `offset` lie at the same place
    // within a block (kCloneBlock), the bytes up to the source's next block boundary are copied
    // and the rest is cloned where the file system can share blocks between files (btrfs, XFS),
    // so the new file takes no space of its own for them. False when they cannot all be copied,
    // also when the source ends early.
    bool AppendFrom(int source, uint64_t offset, uint64_t length, std::string& error);
    // Starts writing the content to disk without waiting for it.
    void StartWriteback() const;
    // Waits until content and metadata are on disk.
    bool Sync(std::string& error) const;
    // Whether the file may be flushed now (the step "sync"); false with the reason otherwise.
    bool MaySync(std::string& error) const;
    // Flushes the whole file system the file is on, this file with it (the step "syncfs"):
    // one flush for every file of a batch. False when the file system reports an error.
    bool SyncFileSystem() const;
    // Asked once the new file has taken the target's name, with the path that the file it
    // displaced now has; answers why the displaced file must get its name back, or the empty
    // text when it may go.
    using Recheck = std::function<std::string(const std::string& displaced)>;
    // Puts the file in place of `target`, a path in the same folder. Where the file system can
    // swap two names in one step, the two files are swapped and `recheck` is asked while the
    // displaced one still has a name: when it answers a reason, they are swapped back and the
    // reason is the error. Elsewhere `recheck` is asked about `target` just before one rename.
    // An empty `recheck` accepts. On failure the target is what it was, untouched, and the
    // file stays discardable. With `keepDisplaced`, a displaced file keeps its temporary name
    // until Settle (or until this object goes, which lets the swap stand).
    bool Replace(const std::string& target, const Recheck& recheck, std::string& error,
                 bool keepDisplaced = false);
    // Ends a swap whose displaced file Replace kept: asks `recheck` about it once more. When
    // that answers a reason, the displaced file takes `target`'s name back, the new file goes,
    // and the reason is returned; otherwise the displaced file's name goes, and the empty text
    // is returned, as it is when no displaced file was kept.
    std::string Settle(const std::string& target, const Recheck& recheck);
    // Gives the file the name `target`, a path in the same folder, only while no file has that
    // name: one that appeared meanwhile is never replaced, and the error then says so. On
    // failure the file stays discardable.
    bool PlaceNew(const std::string& target, std::string& error);

private:
    void Discard();
    // Gives an unnamed file a temporary name.
    bool EnsureNamed(std::string& error);
    // Swaps back after a refused exchange: `target` is again the displaced file.
    void SwapBack(const std::string& target);

    UniqueFd m_Fd;
    std::string m_Folder;
    std::string m_Path;             // while it has a name; empty while it has none
    bool m_HoldsDisplaced = false;  // m_Path is a swapped-out file that Replace kept
    uint64_t m_Size = 0;
    const WriteFaults* m_Faults = nullptr;
};

// The block size that cloned ranges are aligned to.
inline constexpr uint64_t kCloneBlock = 4096;

// Whether the file system of a folder shares blocks between files (btrfs, XFS made with
// reflinks), asked by cloning a block of an unnamed file made there, which goes at once.
enum class BlockSharing {
    Shares,   // the block was cloned
    DoesNot,  // the file system has no clones (ext4, tmpfs, XFS without reflinks)
    Unknown,  // no unnamed file could be made or written there: a file system without them,
              // a full disk, a folder that takes no new file
};
BlockSharing ProbeBlockSharing(const std::string& folder);

// True for the names of this program's temporary files: ".fenrik-" and six letters or digits,
// or the form that older versions used, "." NAME ".fenrik-" and six letters or digits, where
// NAME is a photo's name (ending in .jpg or .jpeg, in any case) or a sidecar's (.xmp).
bool IsTemporaryName(const std::string& name);

// Removes the temporary files that a killed run left in `folder`, and nothing else: regular
// files with a temporary name (of the older form only where its photo NAME is in the folder),
// whose last status change lies before `olderThan` (a newer one may belong to a run in
// progress), and whose content is empty or begins as a JPEG file or an XMP packet ("<?xpacket"
// or "<x:xmpmeta") does. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan);

// Flushes a folder's entries (renames into it) to disk. False when it cannot be flushed.
bool SyncFolder(const std::string& folder);
