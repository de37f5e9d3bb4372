// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The per-user profile: integer and string values in sections of one INI file. Every read goes to
// the file and every write reaches it before returning, changing only its own key. Section and key
// names are plain words (no '/' or '\\'). Thread-safe.

#include <string>

#include "platform/Mutex.h"

class ProfileStore {
public:
    explicit ProfileStore(std::string iniPath);
    ProfileStore(const ProfileStore&) = delete;
    ProfileStore& operator=(const ProfileStore&) = delete;

    // Changing the path takes effect at the next call.
    std::string Path() const;
    void SetPath(std::string iniPath);

    // The stored integer, or `defaultValue` when the value is absent or its text is not a
    // decimal integer within the int range.
    int GetProfileInt(const char* section, const char* key, int defaultValue) const;

    // The stored text byte for byte, or `defaultValue` when absent (empty when that is null).
    std::string GetProfileString(const char* section, const char* key,
                                 const char* defaultValue) const;

    // Store the value and flush the file; false, after a trace, when the file could not be
    // written, which then keeps its earlier content.
    bool WriteProfileInt(const char* section, const char* key, int value);
    bool WriteProfileString(const char* section, const char* key, const std::string& value);

private:
    mutable Mutex m_Mutex;
    std::string m_Path GUARDED_BY(m_Mutex);
};

// The company under which the application's profile is kept.
inline constexpr char kCompanyName[] = "Quillbay";

// "<config home>/<company>/<appName>.conf"; the config home is $XDG_CONFIG_HOME, or ~/.config.
std::string UserProfilePath(const std::string& company, const std::string& appName);

// The running executable's name without its last extension; "fenrik" when it cannot be found.
std::string ExecutableBaseName();
