// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Converting a track file of another format to GPX with GPSBabel, run as a child of the reader
// process: it inherits the reader's limits, dies with it, and writes only into a pipe.

#include <cstdint>
#include <string>

// What converting gave: the GPX text, or why there is none.
struct GpxConversionResult {
    std::string gpx;
    std::string problem;    // empty when GPSBabel ended well
    bool tooLarge = false;  // its output passed `maxBytes`, and it was killed
};

// Runs `program` (GPSBabel) on the regular file open as `inputFd` (or on `input` when given,
// written into its standard input), read as GPSBabel's input format `format`, and collects at most
// `maxBytes` of the GPX it writes.
GpxConversionResult ConvertToGpx(int inputFd, const std::string& program, const std::string& format,
                                 uint64_t maxBytes, const std::string* input = nullptr);
