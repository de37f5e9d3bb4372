// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How an operation says it failed: a code to branch on and a message for the user.

#include <cstdint>
#include <string>

enum class StatusCode : uint8_t {
    Ok,
    Stopped,     // a stop was requested
    OutOfSpace,  // the file system or the user's quota is full
    Unreadable,  // the input cannot be read, or is not what its name says
    Refused,     // not safe to do now: the file is read-only, in use or changed
    Failed,      // the system refused a step for another reason
};

class [[nodiscard]] Status {
public:
    Status() = default;
    Status(StatusCode code, std::string message) : m_Code(code), m_Message(std::move(message)) {}

    static Status Ok() { return Status(); }
    static Status Stopped() { return Status(StatusCode::Stopped, "stopped"); }
    static Status Unreadable(std::string message) {
        return Status(StatusCode::Unreadable, std::move(message));
    }
    static Status Refused(std::string message) {
        return Status(StatusCode::Refused, std::move(message));
    }
    static Status Failed(std::string message) {
        return Status(StatusCode::Failed, std::move(message));
    }
    // "<what>: <the system's text>": OutOfSpace for ENOSPC and EDQUOT, else Failed. Pass errno
    // right after the call that set it.
    static Status FromErrno(int errorNumber, const std::string& what);

    bool ok() const { return m_Code == StatusCode::Ok; }
    StatusCode code() const { return m_Code; }
    const std::string& message() const { return m_Message; }

private:
    StatusCode m_Code = StatusCode::Ok;
    std::string m_Message;
};
