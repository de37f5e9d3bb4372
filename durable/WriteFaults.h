// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faults that a disk, a kill or another program cause, injected into the steps of a write by
// tests; the program never sets a hook.

#include <functional>
#include <string>

#include "platform/Mutex.h"

// The hook is called before each step with the step's name ("unnamed", "create", "flags",
// "write", "copy", "owner", "xattr", "chmod", "sync", "syncfs", "link", "rename", "recheck" once
// the new file has the target's name, and "settle" before a displaced file that Replace kept
// loses its name); returning false makes that step fail as the system would, with errno as the
// hook left it ("unnamed" failing makes the file a named one). Calls are serialised.
class WriteFaults {
public:
    using Hook = std::function<bool(const std::string& step)>;
    void SetHook(Hook hook);
    // False when the hook fails `step`.
    bool Allows(const char* step) const;

private:
    mutable Mutex m_Mutex;
    Hook m_Hook GUARDED_BY(m_Mutex);
};

// True unless `faults` is given and fails `step`: every step of a write asks before it is taken.
bool DurableStepAllowed(const WriteFaults* faults, const char* step);
