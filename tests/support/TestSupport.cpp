// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <cstdlib>

#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/FileTime.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "fenrik-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    m_Path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Restore write permission first so that read-only test folders can be removed.
    for (auto it = fs::recursive_directory_iterator(m_Path, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(m_Path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_Path, ignored);
}

std::string SamplePath(const std::string& relative) {
    return std::string(FENRIK_SAMPLES_DIR) + "/" + relative;
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFileText(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

void CopyFile(const std::string& from, const std::string& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

SYSTEMTIME MakeSystemTime(int year, int month, int day, int hour, int minute, int second,
                          int milliseconds) {
    SYSTEMTIME st;
    st.wYear = static_cast<uint16_t>(year);
    st.wMonth = static_cast<uint16_t>(month);
    st.wDay = static_cast<uint16_t>(day);
    st.wHour = static_cast<uint16_t>(hour);
    st.wMinute = static_cast<uint16_t>(minute);
    st.wSecond = static_cast<uint16_t>(second);
    st.wMilliseconds = static_cast<uint16_t>(milliseconds);
    return st;
}

uint64_t UtcCount(int year, int month, int day, int hour, int minute, int second) {
    FILETIME ft;
    if (!SystemTimeToFileTime(MakeSystemTime(year, month, day, hour, minute, second), &ft)) {
        throw std::invalid_argument("invalid calendar time");
    }
    return FileTimeToCount(ft);
}

struct DebugCapture::State {
    std::mutex mutex;
    std::string text;
};

DebugCapture::DebugCapture() : m_State(new State) {
    State* state = m_State;
    SetDebugSink([state](const std::string& text) {
        std::lock_guard<std::mutex> lock(state->mutex);
        state->text += text;
    });
}

DebugCapture::~DebugCapture() {
    SetDebugSink(DebugSink());
    delete m_State;
}

std::string DebugCapture::Text() const {
    std::lock_guard<std::mutex> lock(m_State->mutex);
    return m_State->text;
}

std::string Utf16Text(const std::string& utf8, bool bigEndian, bool withMark) {
    std::string out;
    auto unit = [&](unsigned value) {
        const char high = static_cast<char>(value >> 8);
        const char low = static_cast<char>(value & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    if (withMark) {
        unit(0xFEFF);
    }
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            unit(c);
        } else {
            unit(((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu));
        }
    }
    return out;
}

pid_t StartAppender(const std::string& path, const std::string& bytes) {
    const pid_t writer = fork();
    if (writer == 0) {
        close_range(3, ~0U, 0);
        const int fd = open(path.c_str(), O_WRONLY | O_APPEND);
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        _exit(written == static_cast<ssize_t>(bytes.size()) ? 0 : 1);
    }
    return writer;
}

int WaitFor(pid_t child) {
    int status = -1;
    waitpid(child, &status, 0);
    return status;
}

bool WaitUntilALeaseIsBreaking(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return false;
    }
    // A line of /proc/locks names its file as MAJOR:MINOR:INODE, the device numbers in hex.
    char file[64];
    std::snprintf(file, sizeof file, " %02x:%02x:%llu ", major(info.st_dev), minor(info.st_dev),
                  static_cast<unsigned long long>(info.st_ino));
    for (int poll = 0; poll < 60000; ++poll) {
        for (const std::string& line : SplitLines(ReadFileText("/proc/locks"))) {
            if (line.find("BREAKING") != std::string::npos &&
                (line + " ").find(file) != std::string::npos) {
                return true;
            }
        }
        usleep(1000);
    }
    return false;
}

uint64_t TestSeed(uint64_t fallback) {
    uint64_t seed = fallback;
    if (const char* given = std::getenv("FENRIK_TEST_SEED")) {
        seed = std::strtoull(given, nullptr, 10);
    } else if (seed == 0) {
        seed = (uint64_t{std::random_device{}()} << 32) | std::random_device{}();
    }
    std::printf("seed %llu (replay with FENRIK_TEST_SEED=%llu)\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed));
    ::testing::Test::RecordProperty("seed", std::to_string(seed));
    return seed;
}

std::vector<std::string> Leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!std::filesystem::is_regular_file(entry.path()) || entry.path().extension() != ".jpg") {
            names.push_back(entry.path().filename().string());
        }
    }
    return names;
}
