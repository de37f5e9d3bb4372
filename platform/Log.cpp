// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/DebugOutput.h"
#include "platform/LocalClock.h"
#include "platform/PathText.h"

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

namespace {

Status LogFolderProblem(const std::string& folder, const std::string& reason) {
    return Status::Refused("the log cannot be written in " + (folder.empty() ? "\"\"" : folder) +
                           ": " + reason);
}

}  // namespace

Status CheckLogFolder(const std::string& folder) {
    struct stat info {};
    if (folder.empty()) {
        return LogFolderProblem(folder, "no folder set");
    }
    if (stat(folder.c_str(), &info) != 0) {
        return LogFolderProblem(folder, std::strerror(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return LogFolderProblem(folder, std::strerror(ENOTDIR));
    }
    const std::string log = JoinPath(folder, "fenrik.log");
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 ||
        (faccessat(AT_FDCWD, log.c_str(), F_OK, AT_EACCESS) == 0 &&
         faccessat(AT_FDCWD, log.c_str(), W_OK, AT_EACCESS) != 0)) {
        return LogFolderProblem(folder, std::strerror(errno));
    }
    return Status::Ok();
}
