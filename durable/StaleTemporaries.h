// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Removing the temporaries a killed run left, and nothing else: live runs lock theirs (LockAsOurs).

#include <time.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// True when `start`, the first bytes of a file, is content this program writes.
using ContentCheck = std::function<bool(std::string_view start)>;

// Marks open file `fd` a live run's own by a lock held while open, exclusive for an original
// being replaced. False when another program holds a lock that excludes ours.
bool LockAsOurs(int fd, bool exclusive = false);

// Removes `folder`'s unlocked regular files with a temporary name (IsTemporaryName), changed before
// `olderThan`, whose content is empty or passes `isOurs`. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan,
                           const ContentCheck& isOurs);
