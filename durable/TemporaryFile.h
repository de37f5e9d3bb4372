// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file that replaces another in its folder by a rename once flushed, never leaving a damaged
// or stray file behind; it holds a live run's lock (LockAsOurs) while open.

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

    // Creates an empty owner-only file in `folder`; steps ask `faults` if given (must outlive it).
    Status Create(const std::string& folder, const WriteFaults* faults = nullptr);
    int Fd() const { return m_Fd.Get(); }
    uint64_t Size() const { return m_Size; }
    const std::string& Folder() const { return m_Folder; }

    Status Append(const unsigned char* data, size_t size);
    // Appends `length` bytes of `source` from `offset` (CopyOrClone); fails if it ends early.
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
    // Puts the file in place of `target` (same folder); on failure the target is as it was. Where
    // names can be swapped, `recheck` is asked after the swap and a refusal swaps back; elsewhere
    // it is asked just before the rename. With `keepDisplaced`, the displaced file keeps a
    // temporary name until Settle (or this object's end, which lets the swap stand).
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
