// SPDX-License-Identifier: GPL-3.0-or-later
#include "durable/WriteFaults.h"

void WriteFaults::SetHook(Hook hook) {
    MutexLock lock(m_Mutex);
    m_Hook = std::move(hook);
}

bool WriteFaults::Allows(const char* step) const {
    MutexLock lock(m_Mutex);
    return !m_Hook || m_Hook(step);
}

bool DurableStepAllowed(const WriteFaults* faults, const char* step) {
    return faults == nullptr || faults->Allows(step);
}
