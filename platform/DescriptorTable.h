// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The process's table of open file descriptors. The kernel grows it on demand, but while other
// threads of the process run, each growth makes the thread that grows it wait for a grace period
// of the kernel's (milliseconds on a busy machine), and every other thread that opens a file
// meanwhile wait with it. Work that holds many descriptors on several threads grows it once,
// before its threads start.

#include <cstddef>

// Grows the table to hold `count` descriptors now, or as many as the soft limit on open files
// (RLIMIT_NOFILE) allows; no descriptor is left open. Returns how many the table holds at
// least afterwards (the smaller of `count` and the limit), or 0 when it could not be grown (no
// descriptor to spare, or no memory for a larger table).
size_t ReserveDescriptors(size_t count);
