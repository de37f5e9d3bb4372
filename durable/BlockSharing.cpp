// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/BlockSharing.h"

#include <fcntl.h>

#include <cerrno>
#include <vector>

#include "durable/FileIo.h"
#include "platform/UniqueFd.h"

BlockSharing ProbeBlockSharing(const std::string& folder) {
    // Unnamed only: a named probe that a kill left behind would be no file of the user's, yet
    // not one that the cleanup knows for ours.
    const UniqueFd probe(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    const std::vector<unsigned char> block(kCloneBlock);
    if (!probe.Valid() || !WriteAll(probe.Get(), block.data(), block.size(), "probe").ok()) {
        return BlockSharing::Unknown;
    }
    if (CloneRange(probe.Get(), 0, kCloneBlock, probe.Get(), kCloneBlock)) {
        return BlockSharing::Shares;
    }
    return errno == EOPNOTSUPP || errno == ENOTTY || errno == ENOSYS ? BlockSharing::DoesNot
                                                                     : BlockSharing::Unknown;
}
