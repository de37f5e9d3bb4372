// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Removing the temporary files that a killed run left behind, and nothing else. A live run
// holds a lock on each of its files for as long as the file belongs to it (LockAsOurs), so no
// run removes another's.

#include <time.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// True when `start`, the first bytes of a file, is content this program writes.
using ContentCheck = std::function<bool(std::string_view start)>;

// Marks the open file `fd` as a live run's own: a lock held while the descriptor is open,
// exclusive for an original that is being replaced (no other run may replace it meanwhile).
// False when another program holds a lock on it that excludes ours.
bool LockAsOurs(int fd, bool exclusive = false);

// Removes the regular files of `folder` with a temporary name (IsTemporaryName) whose last
// status change lies before `olderThan`, that no one holds a lock on, and whose content is empty
// or passes `isOurs`. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder, const timespec& olderThan,
                           const ContentCheck& isOurs);
