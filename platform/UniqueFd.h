// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file descriptor that is closed when its owner goes.

#include <unistd.h>

#include <utility>

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_Fd(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : m_Fd(std::exchange(other.m_Fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_Fd, -1));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return m_Fd; }
    bool Valid() const { return m_Fd >= 0; }
    // Closes the descriptor held, if any, and takes `fd` instead.
    void Reset(int fd = -1) {
        if (m_Fd >= 0) {
            close(m_Fd);
        }
        m_Fd = fd;
    }

private:
    int m_Fd = -1;
};
