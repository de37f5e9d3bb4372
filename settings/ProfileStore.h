// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-user profile: named integer and string values, grouped in sections, kept in one INI
// file (on Linux "$XDG_CONFIG_HOME/<company>/<application>.conf" with one [Section] group per
// section).
//
// Nothing is cached: every read goes to the file, and every write reaches the file before the
// call returns, so a crash right after a write loses nothing. A write changes only its own key;
// other keys and other sections survive it. An absent or unreadable value reads as the caller's
// default. A failed write is traced to the debugger output and reported only by the return value.
// Section and key names are plain words (no '/' or '\\'). All members are thread-safe.

#include <string>

#include "platform/Mutex.h"

class ProfileStore {
public:
    explicit ProfileStore(std::string iniPath);
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // The INI file that this store reads and writes. Changing it takes effect at the next call.
    std::string Path() const;
    void SetPath(std::string iniPath);

    // The stored integer, or `defaultValue` when the value is absent or its text is not a
    // decimal integer within the int range.
    int GetProfileInt(const char* section, const char* key, int defaultValue) const;

    // The stored text, or `defaultValue` when the value is absent (the empty text when
    // `defaultValue` is null). Text is returned byte for byte as it was written.
    std::string GetProfileString(const char* section, const char* key,
                                 const char* defaultValue) const;

    // Store the value and flush the file. Return false, after a trace to the debugger output,
    // when the file could not be written; the profile then keeps its earlier content.
    bool WriteProfileInt(const char* section, const char* key, int value);
    bool WriteProfileString(const char* section, const char* key, const std::string& value);

private:
    mutable Mutex m_Mutex;
    std::string m_Path GUARDED_BY(m_Mutex);
};

// The company under which the application's profile is kept.
inline constexpr char kCompanyName[] = "Quillbay";

// The per-user profile file of an application: "<config home>/<company>/<appName>.conf", where
// the config home is $XDG_CONFIG_HOME, or ~/.config when that is not set.
std::string UserProfilePath(const std::string& company, const std::string& appName);

// The running executable's file name without its last extension ("fenrik" for
// "/usr/bin/fenrik" and for "fenrik.exe"); "fenrik" when it cannot be found out.
std::string ExecutableBaseName();
