// SPDX-License-Identifier: GPL-3.0-or-later
#include "DebugOutput.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/Mutex.h"

namespace {

struct DebugChannel {
    Mutex mutex;
    DebugSink sink GUARDED_BY(mutex);
    std::atomic<bool> enabled{false};

    DebugChannel() { RestoreDefault(); }

    void RestoreDefault() NO_THREAD_SAFETY_ANALYSIS {  // at construction, or with the mutex held
        const char* flag = std::getenv("FENRIK_DEBUG");
        const bool toStderr = flag != nullptr && flag[0] != '\0';
        sink = toStderr ? DebugSink([](const std::string& text) {
            std::fwrite(text.data(), 1, text.size(), stderr);
        })
                        : DebugSink();
        enabled = toStderr;
    }
};

DebugChannel& Channel() {
    static DebugChannel channel;
    return channel;
}

}  // namespace

bool IsDebugOutputEnabled() {
    return Channel().enabled.load(std::memory_order_relaxed);
}

void OutputDebugStringA(const std::string& text) {
    DebugChannel& channel = Channel();
    if (!channel.enabled.load(std::memory_order_relaxed)) {
        return;
    }
    MutexLock lock(channel.mutex);
    if (channel.sink) {
        channel.sink(text);
    }
}

void SetDebugSink(DebugSink sink) {
    DebugChannel& channel = Channel();
    MutexLock lock(channel.mutex);
    if (sink) {
        channel.sink = std::move(sink);
        channel.enabled = true;
    } else {
        channel.RestoreDefault();
    }
}
