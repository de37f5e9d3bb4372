// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The first bytes of a file, to tell its format by.

#include <cstddef>
#include <string>

// Up to `bytes` from the start of the regular file at `path`; empty for anything else, which is
// never opened in a way that could block (a FIFO, a device).
std::string FileHead(const std::string& path, size_t bytes = 4096);
