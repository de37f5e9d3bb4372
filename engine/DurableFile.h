#pragma once
// Replacing files so that a crash, a kill or a full disk never leaves one damaged and never
// leaves anything behind. The new content is prepared in a file of the same folder that has no
// name (or, where the file system cannot make one, a short hidden name), is flushed to disk,
// and only then takes the place of the old file by a rename.

#include <time.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/UniqueFd.h"

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
    // with an error text when the folder does not take one.
    bool Create(const std::string& folder, std::string& error);
    int Fd() const { return m_Fd.Get(); }
    uint64_t Size() const { return m_Size; }
    const std::string& Folder() const { return m_Folder; }

    // Appends bytes. False with an error text when they cannot all be written (a full disk).
    bool Append(const unsigned char* data, size_t size, std::string& error);
    // Appends `length` bytes of the open file `source` from `offset`, copied inside the kernel
    // where the file system allows it. False when they cannot all be copied, also when the
    // source ends early.
    bool AppendFrom(int source, uint64_t offset, uint64_t length, std::string& error);
    // Starts writing the content to disk without waiting for it.
    void StartWriteback() const;
    // Waits until content and metadata are on disk.
    bool Sync(std::string& error) const;
    // Puts the file in place of `target`, a path in the same folder, by one rename. On failure
    // the target is untouched and the file stays discardable.
    bool Replace(const std::string& target, std::string& error);

private:
    void Discard();

    UniqueFd m_Fd;
    std::string m_Folder;
    std::string m_Path;  // while it has a name; empty while it has none
    uint64_t m_Size = 0;
};

// True for the names of this program's temporary files: ".fenrik-" and six letters or digits,
// or the form that older versions used, "." NAME ".fenrik-" and six letters or digits.
bool IsTemporaryName(const std::string& name);

// Removes the temporary files that a killed run left in `folder`: regular files with a
// temporary name whose last status change lies before `olderThan` (a newer one may belong to
// a run in progress). Everything else stays. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan);

// Flushes a folder's entries (renames into it) to disk. False when it cannot be flushed.
bool SyncFolder(const std::string& folder);

// ---- Test seam ------------------------------------------------------------------------------
// Faults that a disk, a kill or another program cause are injected here; the program never sets
// a hook. The hook is called before each step with the step's name ("unnamed", "create",
// "flags", "write", "copy", "owner", "xattr", "chmod", "sync", "link", "rename"); returning
// false makes that step fail as the system would, with errno as the hook left it ("unnamed"
// failing makes the file a named one, as on a file system without unnamed files).
using DurableWriteFaultHook = std::function<bool(const std::string& step)>;
void SetDurableWriteFaultHook(DurableWriteFaultHook hook);
// False when the hook fails `step`; every step of the write asks before it is taken.
bool DurableStepAllowed(const char* step);
