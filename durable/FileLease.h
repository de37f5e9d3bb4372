// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Knowing that a file being replaced is still the one that was read: its state, and a read
// lease through which the kernel tells of any other program that opens it for writing.

#include <sys/stat.h>

#include <string>

// A read lease on a file open for reading: the kernel then tells whether any other program
// opens it for writing, or truncates it, before it is replaced (and makes such a writer wait
// until the lease is released). Programs that only read it, such as thumbnailers, leave the
// lease alone. A file open for writing in another program at the time, for example one still
// being copied, takes no lease.
enum class FileLease {
    Held,         // no other program has the photo open for writing
    InUse,        // another program has it open for writing: it must not be replaced now
    Unsupported,  // the file system keeps no leases; only IsUnchanged guards the photo
};
FileLease TakeReadLease(int fd);
// True while the lease taken on `fd` holds: no other program has opened the photo for writing
// since.
bool IsLeaseIntact(int fd);
// Releases the lease, letting a waiting opener go on.
void ReleaseLease(int fd);

// True when the file at `target` is still the one opened, unchanged: the same device,
// inode, size, modification time and status-change time.
bool IsUnchanged(const std::string& target, const struct stat& before);
// True when the file at `path` (not followed if it is a symbolic link) is the one opened, its
// content unchanged: the same device, inode, size and modification time. A rename changes a
// file's status-change time, so that is not compared.
bool IsSameContent(const std::string& path, const struct stat& before);
