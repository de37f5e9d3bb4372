// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Faults of a disk, a kill or another program, injected by tests; the program never sets a hook.

#include <functional>
#include <string>

#include "platform/Mutex.h"

// The hook gets each step's name before it ("unnamed", "create", "flags", "write", "copy", "owner",
// "xattr", "chmod", "sync", "syncfs", "link", "rename", "recheck" after the name change, "settle"
// before a kept displaced file loses its name); false fails the step as the system would, with
// errno as the hook left it ("unnamed" failing gives a named file). Calls are serialised.
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
