// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding the photos of a hot folder (JPEG, TIFF, HEIF, WebP, PNG), and its RAW photos with their
// XMP sidecars.

#include <cstdint>
#include <string>
#include <vector>

struct ImageFile {
    std::string path;        // folder text, one separator, file name
    uint64_t lastWriteTime;  // FILETIME count (UTC) of the file's last modification
    bool raw = false;        // a RAW photo: its position goes into `sidecar`, never into it
    // RAW, HEIF and TIFF photos (whose file may not take the position): the sidecar's path
    // (ChooseSidecarName), and whether it was there when the folder was listed.
    std::string sidecar;
    bool sidecarExists = false;
};

// The regular files directly in `folder` (never its subfolders) whose names promise a photo
// format that is written (FormatOfName), and, when `withRaw`, the RAW photos (IsRawName), each with
// its sidecar, in the order the file system lists them. Symbolic links to regular files count;
// directories and other non-files are skipped. The list is taken before any image is
// processed, so files written meanwhile do not change it. A folder that cannot be listed (an
// empty folder text, a folder that does not exist, is no folder or may not be read) gives no
// files, and `problem`, when given, says why ("no folder set", or the system's reason such as
// "No such file or directory"); otherwise it is left empty.
std::vector<ImageFile> ListHotFolderImages(const std::string& folder, bool withRaw = false,
                                           std::string* problem = nullptr);
