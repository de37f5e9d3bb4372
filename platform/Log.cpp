// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <cerrno>

#include "platform/DebugOutput.h"
#include "platform/LocalClock.h"

Log& Log::Instance() {
    // Never destroyed, so that writes during static destruction stay harmless.
    static Log* instance = new Log();
    return *instance;
}

Log::~Log() {
    Close();
}

Status Log::Open(unsigned maximumLevel, const std::string& path) {
    MutexLock lock(m_Mutex);
    if (m_File != nullptr) {
        std::fclose(m_File);
    }
    m_File = std::fopen(path.c_str(), "w");
    m_MaximumLevel = maximumLevel;
    return m_File != nullptr ? Status::Ok() : Status::FromErrno(errno, "cannot create " + path);
}

bool Log::IsWritten(unsigned level) const {
    MutexLock lock(m_Mutex);
    return m_File != nullptr && level <= m_MaximumLevel;
}

void Log::Write(unsigned level, const std::string& message) {
    MutexLock lock(m_Mutex);
    if (m_File == nullptr || level > m_MaximumLevel) {
        return;
    }
    const std::tm now = LocalTimeNow();
    const std::string line =
        FormatShortDate(now) + ", " + FormatTime24(now) + Prefix(level) + message + "\n";
    std::fwrite(line.data(), 1, line.size(), m_File);
    std::fflush(m_File);
    OutputDebugStringA(EndedLine(message));
}

bool Log::WriteAndTrace(unsigned level, const std::string& message) {
    if (IsWritten(level)) {
        Write(level, message);  // mirrored to the debugger output
        return true;
    }
    OutputDebugStringA(EndedLine(message));
    return false;
}

std::string Log::EndedLine(const std::string& message) {
    return !message.empty() && message.back() == '\n' ? message : message + "\n";
}

void Log::Close() {
    MutexLock lock(m_Mutex);
    if (m_File != nullptr) {
        std::fclose(m_File);
        m_File = nullptr;
    }
}

const char* Log::Prefix(unsigned level) {
    switch (level) {
        case Error:
            return "[ERROR]>  ";
        case Info:
            return "[INFO]>   ";
        case Debug:
            return "[DEBUG]>  ";
        default:
            return "          ";
    }
}
