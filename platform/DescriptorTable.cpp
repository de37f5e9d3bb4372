// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/DescriptorTable.h"

#include <fcntl.h>
#include <sys/resource.h>

#include <algorithm>
#include <climits>
#include <cstdint>

#include "platform/UniqueFd.h"

size_t ReserveDescriptors(size_t count) {
    rlimit limit{};
    if (count == 0 || getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == 0) {
        return 0;
    }
    // No limit is RLIM_INFINITY, the largest value there is.
    const auto reachable =
        static_cast<size_t>(std::min<uint64_t>({count, INT_MAX, limit.rlim_cur}));
    // The lowest free descriptor from the highest one wanted on: the table grows to hold it.
    const UniqueFd any(open("/", O_PATH | O_CLOEXEC));
    const UniqueFd highest(
        any.Valid() ? fcntl(any.Get(), F_DUPFD_CLOEXEC, static_cast<int>(reachable - 1)) : -1);
    return highest.Valid() ? reachable : 0;
}
