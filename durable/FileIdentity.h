// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file's identity besides content (owner, group, mode, xattrs, ACLs, flags, links), carried over.

#include <sys/stat.h>

#include <string>

#include "durable/WriteFaults.h"
#include "platform/Status.h"

// Refused, with the reason, when replacing the file would show: "read-only", other hard links,
// or another user's file that this process may not give away; Ok otherwise.
Status ReplacementBlocker(const std::string& target, const struct stat& info);

// Gives the empty file `to` `from`'s user-set flags (as lsattr lists); Ok where none are kept.
Status CopyFileFlags(int from, int to, const WriteFaults* faults = nullptr);

// Gives `to` the owner and group of `info`, exactly the extended attributes of `from`, then the
// permissions of `info`. Each step asks `faults`, when given.
Status CopyIdentity(int from, const struct stat& info, int to, const WriteFaults* faults = nullptr);
