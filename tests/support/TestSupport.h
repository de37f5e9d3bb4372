// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared helpers for the tests.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/Log.h"

// A fresh folder below the system's temporary directory, removed with everything in it when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_Path; }
    // Path of `name` inside the folder.
    std::string File(const std::string& name) const { return m_Path + "/" + name; }

private:
    std::string m_Path;
};

// Path of a file below the test data folder tests/data ("gpx/route.gpx", "jpg/Canon_40D.jpg").
std::string SamplePath(const std::string& relative);

// Whole content of a file; empty when it cannot be read.
std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& content);
void CopyFile(const std::string& from, const std::string& to);

// Waits until the kernel lists a lease on the file at `path` as being broken (/proc/locks): a
// program that opened it for writing now waits in its open. Leases on other files, such as
// those of tests running beside this one, do not count. Returns false after a minute without.
bool WaitUntilALeaseIsBreaking(const std::string& path);

// Starts a process, another program to the file, that opens `path` for appending (waiting in
// its open while a lease on it is being broken) and then appends `bytes`; it holds none of
// this process's descriptors, so no copy of them keeps a lease.
pid_t StartAppender(const std::string& path, const std::string& bytes = "tail");

// Waits for the child process `child` to end; its wait status, -1 when it cannot be waited for.
int WaitFor(pid_t child);

// UTF-16 of a text made of ASCII and two-byte UTF-8 characters, in either byte order, with or
// without the byte-order mark.
std::string Utf16Text(const std::string& utf8, bool bigEndian, bool withMark);

// Lines of a text, split at line feeds (a final line feed ends the last line).
std::vector<std::string> SplitLines(const std::string& text);
// The names of everything in `folder` but its regular .jpg files: what a run left behind.
std::vector<std::string> Leftovers(const std::string& folder);

// The seed of a randomised test: FENRIK_TEST_SEED when it is set (to replay a run), else
// `fallback`, or a fresh one when `fallback` is 0. Printed, and recorded with the test's result.
uint64_t TestSeed(uint64_t fallback = 0);

struct SYSTEMTIME;

// Calendar fields as a SYSTEMTIME (day of week 0), unchecked.
SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour = 0, int minute = 0,
                          int second = 0, int milliseconds = 0);

// FILETIME count of a UTC calendar time (the calendar fields must be valid).
uint64_t UtcCount(int year, int month, int day, int hour, int minute, int second);

// Collects everything sent to the debugger output while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    std::string Text() const;

private:
    struct State;
    State* m_State;
};

// Closes the process-wide log when the test ends, so that tests do not see each other's log.
struct ClosedLogAfterTest {
    ~ClosedLogAfterTest() { Log::Instance().Close(); }
};
