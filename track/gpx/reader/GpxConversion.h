// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Converting a track file of another format to GPX with GPSBabel, run as a child of the reader
// process: it inherits the reader's limits, dies with it, and writes only into a pipe.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// What converting gave: why it gave nothing more, if anything.
struct GpxConversionResult {
    std::string problem;    // empty when GPSBabel ended well
    bool tooLarge = false;  // its output passed `maxBytes`, and it was killed
};

// Takes each piece of GPX as GPSBabel writes it; false to hear no more.
using GpxSink = std::function<bool(const char* data, size_t size)>;

// Runs `program` (GPSBabel) on the regular file open as `inputFd` (or on `input` when given,
// written into its standard input), read as GPSBabel's input format `format`, and hands the GPX
// it writes to `sink` as it comes, at most `maxBytes` of it. Nothing of it is kept here.
GpxConversionResult ConvertToGpx(int inputFd, const std::string& program, const std::string& format,
                                 uint64_t maxBytes, const GpxSink& sink,
                                 const std::string* input = nullptr);
