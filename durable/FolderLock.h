// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A run's claim on a folder it writes in, which other runs leave; ends with it or the process.

#include <string>

#include "platform/Status.h"
#include "platform/UniqueFd.h"

class FolderLock {
public:
    // Claims `folder` without waiting: Refused when another run holds it; Ok also when the
    // folder cannot be opened (the files in it then say why they cannot be written).
    Status Take(const std::string& folder);

private:
    UniqueFd m_Fd;
};
