// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What makes a photo the same file to its user besides its content: owner, group, permission
// bits, extended attributes (ACLs travel among them), file flags and the names that link to it. A
// tagged photo replaces the original only when all of these can be carried over.

#include <sys/stat.h>

#include <string>

#include "durable/WriteFaults.h"
#include "platform/Status.h"

// Why the file at `target`, as `info` describes it, cannot be replaced without its user
// noticing (Refused), or Ok when it can: "read-only" when no one may write it by its
// permission bits or the running user may not; a reason naming its hard links when other
// names link to it; a reason naming its owner when it belongs to another user and this
// process may not give a file away.
Status ReplacementBlocker(const std::string& target, const struct stat& info);

// Gives the empty open file `to` the file flags of the open file `from` that a user may set
// and a file system keeps per file (no-dump, no-atime, synchronous, no copy-on-write,
// compression; as lsattr lists them). Fails when one cannot be kept; Ok when the file system
// keeps no flags.
Status CopyFileFlags(int from, int to, const WriteFaults* faults = nullptr);

// Gives the open file `to` the owner and group from `info`, every extended attribute of the
// open file `from` that this process can read (and drops any that `from` lacks), then the
// permission bits from `info`. Fails when one of them cannot be kept. Each step asks `faults`,
// when given.
Status CopyIdentity(int from, const struct stat& info, int to, const WriteFaults* faults = nullptr);
