// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process's table of open file descriptors, grown before threads start: growing it while
// they run stalls every thread that opens a file.

#include <cstddef>

// Grows the table to `count` descriptors, at most the RLIMIT_NOFILE soft limit, leaving none open.
// Returns the smaller of `count` and the limit, or 0 when it could not be grown.
size_t ReserveDescriptors(size_t count);
