// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whether a folder's file system shares blocks between files.

#include <string>

enum class BlockSharing {
    Shares,   // a block was cloned (btrfs, XFS made with reflinks)
    DoesNot,  // the file system has no clones (ext4, tmpfs, XFS without reflinks)
    Unknown,  // no unnamed file could be made or written there
};

// Asks by cloning a block of an unnamed file made in `folder`, which goes at once.
BlockSharing ProbeBlockSharing(const std::string& folder);
