// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's single diagnostic log file.
//
// Closed until the first successful Open; while closed every Write is dropped. Each line reads:
// the user's short date, ", ", the 24-hour time, a ten-character level prefix and the message,
// then a line feed. Every line is flushed at once and its message mirrored to the debugger
// output, ending in a line feed. Writes from several threads are serialised.

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

    // Creates or empties the file at `path` and opens the log with the given maximum level.
    // Closes the stream of an earlier Open first. If the file cannot be created the log stays
    // closed until a later Open succeeds. Writes nothing itself.
    void Open(unsigned maximumLevel, const std::string& path);

    // Appends one line when the log is open and `level` does not exceed the maximum level;
    // otherwise does nothing at all. The message is written unchanged (line feeds included).
    void Write(unsigned level, const std::string& message);

    // Writes the line as Write does when the log takes it, which traces its message; otherwise
    // only traces the message. Either way the message reaches the debugger output once, ending
    // in a line feed. Returns true when the line reached the file.
    bool WriteAndTrace(unsigned level, const std::string& message);

    // True when a Write at `level` would reach the file.
    bool IsWritten(unsigned level) const;

    // The ten-character prefix of a level ("[ERROR]>  ", "[INFO]>   ", "[DEBUG]>  ").
    static const char* Prefix(unsigned level);

    // ---- Test seam ----------------------------------------------------------------------------
    // Closes the file, so that a test starts from a closed log. The program never closes it.
    void Close();

private:
    // `message` with a line feed at its end, added where it has none.
    static std::string EndedLine(const std::string& message);

    mutable Mutex m_Mutex;
    std::FILE* m_File GUARDED_BY(m_Mutex) = nullptr;
    unsigned m_MaximumLevel GUARDED_BY(m_Mutex) = 0;
};
