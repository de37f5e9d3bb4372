// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the photos of a hot folder (JPEG, TIFF, HEIF, WebP, PNG), and its RAW photos with their
// XMP sidecars.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Status.h"

struct ImageFile {
    std::string path;        // folder text, one separator, file name
    uint64_t lastWriteTime;  // FILETIME count (UTC) of the file's last modification
    bool raw = false;        // a RAW photo: its position goes into `sidecar`, never into it
    // RAW, HEIF and TIFF photos (whose file may not take the position): the sidecar's path
    // (ChooseSidecarName), and whether it was there when the folder was listed.
    std::string sidecar;
    bool sidecarExists = false;
};

// The regular files (links included) directly in `folder` whose names promise a photo format
// that is written (FormatOfName) in any case, and when `withRaw` the RAW photos, each that may
// need one with its sidecar, in directory order. A folder that cannot be listed gives none, and
// `listed` (when given) is Unreadable with why: "no folder set", or the system's.
std::vector<ImageFile> ListHotFolderImages(const std::string& folder, bool withRaw = false,
                                           Status* listed = nullptr);
