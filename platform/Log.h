// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's diagnostic log file: lines of short date, ", ", 24-hour time, ten-character level
// prefix and message, each flushed at once and traced. Writes are dropped until an Open succeeds.
// Thread-safe.

#include <cstdio>
#include <string>
#include "platform/Mutex.h"

enum LogLevel : unsigned {
    Error = 0,
    Info = 1,
    Debug = 2,
};

class Log {
public:
    // The one process-wide log, created closed on first use and never destroyed.
    static Log& Instance();

    Log() = default;
    ~Log();
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Creates or empties `path` and opens the log, closing an earlier stream first; if that fails
    // the log stays closed. Writes nothing itself.
    void Open(unsigned maximumLevel, const std::string& path);

    // Appends the message unchanged as one line when the log is open and takes `level`.
    void Write(unsigned level, const std::string& message);

    // As Write, but the message is traced once, ending in a line feed, even when not written; true
    // when it was written.
    bool WriteAndTrace(unsigned level, const std::string& message);

    // True when a Write at `level` would reach the file.
    bool IsWritten(unsigned level) const;

    // The ten-character prefix of a level ("[ERROR]>  ", "[INFO]>   ", "[DEBUG]>  ").
    static const char* Prefix(unsigned level);

    // Closes the file, for tests; the program never closes the log.
    void Close();

private:
    static std::string EndedLine(const std::string& message);

    mutable Mutex m_Mutex;
    std::FILE* m_File GUARDED_BY(m_Mutex) = nullptr;
    unsigned m_MaximumLevel GUARDED_BY(m_Mutex) = 0;
};
