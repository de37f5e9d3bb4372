// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file prepared in a folder to replace another one there, so that a crash, a kill or a full
// disk never leaves one damaged and never leaves anything behind. It has no name until it is put
// in place (or, where the file system cannot make one, a hidden temporary name that the cleanup
// knows), is flushed, and only then takes the place of the old file by a rename. It holds the
// lock that marks it a live run's own (LockAsOurs) for as long as it is open.

#include <cstdint>
#include <functional>
#include <string>

#include "durable/WriteFaults.h"
#include "platform/Status.h"
#include "platform/UniqueFd.h"

class TemporaryFile {
public:
    TemporaryFile() = default;
    // Destroying the file before it is put in place discards it.
    ~TemporaryFile();
    TemporaryFile(TemporaryFile&& other) noexcept { *this = std::move(other); }
    TemporaryFile& operator=(TemporaryFile&& other) noexcept;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    // Creates an empty file that only its owner may read and write, in `folder`. Every step on
    // the file asks `faults`, when given, which must outlive the file.
    Status Create(const std::string& folder, const WriteFaults* faults = nullptr);
    int Fd() const { return m_Fd.Get(); }
    uint64_t Size() const { return m_Size; }
    const std::string& Folder() const { return m_Folder; }

    Status Append(const unsigned char* data, size_t size);
    // Appends `length` bytes of the open file `source` from `offset` (CopyOrClone). Fails also
    // when the source ends early.
    Status AppendFrom(int source, uint64_t offset, uint64_t length);
    // Starts writing the content to disk without waiting for it.
    void StartWriteback() const;
    // Waits until content and metadata are on disk.
    Status Sync() const;
    // Whether the file may be flushed now (the step "sync").
    Status MaySync() const;
    // Flushes the whole file system the file is on, this file with it (the step "syncfs").
    bool SyncFileSystem() const;

    // Asked once the new file has taken the target's name, with the path that the file it
    // displaced now has: why the displaced file must get its name back, or Ok when it may go.
    using Recheck = std::function<Status(const std::string& displaced)>;
    // Puts the file in place of `target`, a path in the same folder. Where the file system can
    // swap two names in one step, they are swapped and `recheck` asked while the displaced one
    // still has a name; when it refuses, they are swapped back. Elsewhere `recheck` is asked about
    // `target` just before one rename. On failure the target is what it was. With
    // `keepDisplaced`, a displaced file keeps its temporary name until Settle (or until this
    // object goes, which lets the swap stand).
    Status Replace(const std::string& target, const Recheck& recheck, bool keepDisplaced = false);
    // Ends a swap whose displaced file Replace kept: asks `recheck` once more; when it refuses,
    // the displaced file takes `target`'s name back and the new file goes.
    Status Settle(const std::string& target, const Recheck& recheck);
    // Gives the file the name `target` only while no file has that name.
    Status PlaceNew(const std::string& target);

private:
    void Discard();
    Status EnsureNamed();
    // Swaps back after a refused exchange: `target` is again the displaced file.
    void SwapBack(const std::string& target);

    UniqueFd m_Fd;
    std::string m_Folder;
    std::string m_Path;             // while it has a name; empty while it has none
    bool m_HoldsDisplaced = false;  // m_Path is a swapped-out file that Replace kept
    uint64_t m_Size = 0;
    const WriteFaults* m_Faults = nullptr;
};
