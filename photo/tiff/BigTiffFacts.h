// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A BigTIFF photo's facts, read with libtiff: Exiv2 reads no BigTIFF, and the edit writes none.

#include <string>

#include "photo/PhotoFacts.h"

// Why a BigTIFF photo's position goes into its sidecar.
extern const char kBigTiffSidecarReason[];

// Its capture time (DateTimeDigitized and the offset tags) and whether its GPS IFD holds a
// latitude and a longitude; Unreadable when libtiff cannot read its directories.
Status ReadBigTiffFacts(const std::string& path, uint64_t lastWriteTime, PhotoFacts& facts);
