// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the files that tagging writes begin, for the cleanup to know a killed run's leftovers.

#include <string_view>

// True when `start` begins as a photo file that tagging writes (a JPEG, TIFF, HEIF, WebP or PNG
// file: FormatOfContent) or an XMP sidecar ("<?xpacket", "<x:xmpmeta").
bool BeginsAsWrittenPhoto(std::string_view start);
