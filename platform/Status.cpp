// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Status.h"

#include <cerrno>
#include <cstring>

Status Status::FromErrno(int errorNumber, const std::string& what) {
    const StatusCode code = errorNumber == ENOSPC || errorNumber == EDQUOT ? StatusCode::OutOfSpace
                                                                           : StatusCode::Failed;
    return Status(code, what + ": " + std::strerror(errorNumber));
}
