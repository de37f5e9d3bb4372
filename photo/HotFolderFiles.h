// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the JPEG images of a hot folder, and its RAW photos with their XMP sidecars.

#include <cstdint>
#include <string>
#include <vector>

struct ImageFile {
    std::string path;            // folder text, one separator, file name
    uint64_t lastWriteTime;      // FILETIME count (UTC) of the file's last modification
    bool raw = false;            // a RAW photo: its position goes into `sidecar`, never into it
    std::string sidecar;         // RAW only: the sidecar's path (ChooseSidecarName)
    bool sidecarExists = false;  // RAW only: the sidecar was there when the folder was listed
};

// The regular files (links included) directly in `folder` named ".jpg" or ".jpeg" in any case,
// and when `withRaw` the RAW photos with their sidecars, in directory order. A folder that cannot
// be listed gives none, and `problem` (when given) says why: "no folder set", or the system's.
std::vector<ImageFile> ListHotFolderImages(const std::string& folder, bool withRaw = false,
                                           std::string* problem = nullptr);
