// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Knowing that a file being replaced is still the one read: its state, and a read lease.

#include <sys/stat.h>

#include <string>

// The kernel tells of (and holds until release) another program opening the file for writing.
enum class FileLease {
    Held,         // no other program has the photo open for writing
    InUse,        // another program has it open for writing: it must not be replaced now
    Unsupported,  // the file system keeps no leases; only IsUnchanged guards the photo
};
FileLease TakeReadLease(int fd);
// True while no other program has opened the file for writing since the lease was taken.
bool IsLeaseIntact(int fd);
// Releases the lease, letting a waiting opener go on.
void ReleaseLease(int fd);

// True when `target` is still the file opened: device, inode, size, modification and change time.
bool IsUnchanged(const std::string& target, const struct stat& before);
// As IsUnchanged for `path`, not followed, without the change time (a rename changes it).
bool IsSameContent(const std::string& path, const struct stat& before);
