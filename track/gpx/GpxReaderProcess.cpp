// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/GpxReaderProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/DebugOutput.h"
#include "platform/PathText.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Transparent huge pages for the reader's heap: the document of a long track is large, and
// first-touch page faults otherwise dominate its load time.
constexpr char kHugePages[] = "glibc.malloc.hugetlb=1";

// The environment of the reader: ours, with huge pages for the heap added.
std::vector<std::string> ReaderEnvironment() {
    std::vector<std::string> entries;
    bool tuned = false;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text = *entry;
        if (text.rfind("GLIBC_TUNABLES=", 0) == 0) {
            tuned = true;
            if (text.find("glibc.malloc.hugetlb=") == std::string::npos) {
                text += std::string(":") + kHugePages;
            }
        }
        entries.push_back(std::move(text));
    }
    if (!tuned) {
        entries.push_back(std::string("GLIBC_TUNABLES=") + kHugePages);
    }
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::vector<std::string> ReaderArguments(const GpxReaderRequest& request) {
    std::vector<std::string> args = {request.readerPath, "--memory",
                                     std::to_string(request.limits.memoryBytes), "--cpu",
                                     std::to_string(request.limits.cpuSeconds)};
    if (request.trace) {
        args.push_back("--trace");
    }
    if (request.fileFds.size() > 1) {
        args.push_back("--files");
        args.push_back(std::to_string(request.fileFds.size()));
    }
    if (!request.convertFormat.empty() && request.converter.empty()) {
        args.insert(args.end(), {"--read", request.convertFormat});
    } else if (!request.convertFormat.empty()) {
        args.insert(args.end(),
                    {"--convert", request.convertFormat, "--converter", request.converter,
                     "--output-limit", std::to_string(request.maxConvertedBytes)});
    }
    return args;
}

// Spawns the reader writing into `answerFd`; returns its process id, or -1 with `error` set.
pid_t SpawnReader(const GpxReaderRequest& request, int answerFd, std::string& error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::vector<int>& files = request.fileFds;
    posix_spawn_file_actions_adddup2(&actions, answerFd, STDOUT_FILENO);
    if (!IsDebugOutputEnabled()) {
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    }
    if (files.size() == 1) {
        posix_spawn_file_actions_adddup2(&actions, files[0], STDIN_FILENO);
    } else {
        // By way of descriptors above all of them, so that no file's is overwritten early.
        const int high = std::max(*std::max_element(files.begin(), files.end()),
                                  static_cast<int>(files.size()) + 3) +
                         1;
        for (size_t i = 0; i < files.size(); ++i) {
            posix_spawn_file_actions_adddup2(&actions, files[i], high + static_cast<int>(i));
        }
        for (size_t i = 0; i < files.size(); ++i) {
            posix_spawn_file_actions_adddup2(&actions, high + static_cast<int>(i),
                                             3 + static_cast<int>(i));
        }
    }
    posix_spawn_file_actions_addclosefrom_np(
        &actions, files.size() == 1 ? STDERR_FILENO + 1 : 3 + static_cast<int>(files.size()));
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attr, &signals);
    sigfillset(&signals);
    posix_spawnattr_setsigdefault(&attr, &signals);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<std::string> args = ReaderArguments(request);
    std::vector<std::string> env = ReaderEnvironment();
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, request.readerPath.c_str(), &actions, &attr,
                                   Pointers(args).data(), Pointers(env).data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        error = std::strerror(failed);
        return -1;
    }
    return pid;
}

// The answers of a reader, decoded as their bytes arrive.
class AnswerStream {
public:
    explicit AnswerStream(const GpxReaderRequest& request)
        : m_Request(request), m_Reader(NewReader()) {}
    void Feed(const unsigned char* data, size_t size) {
        if (IsComplete()) {
            m_BytesAfterTheEnd = m_BytesAfterTheEnd || size > 0;  // nothing may follow
            return;
        }
        m_Reader->Feed(data, size);
        while (m_Reader->IsComplete() && !IsComplete()) {
            m_Answers.push_back(std::move(m_Reader->Answer()));
            const std::vector<unsigned char> rest = m_Reader->TakeRest();
            m_Reader = NewReader();
            if (IsComplete()) {
                m_BytesAfterTheEnd = !rest.empty();
            } else {
                m_Reader->Feed(rest.data(), rest.size());
            }
        }
    }
    bool IsMalformed() const { return m_Reader->IsMalformed() || m_BytesAfterTheEnd; }
    bool IsComplete() const { return m_Answers.size() == m_Request.fileFds.size(); }
    std::vector<GpxAnswer>& Answers() { return m_Answers; }

private:
    std::unique_ptr<GpxAnswerReader> NewReader() const {
        return std::make_unique<GpxAnswerReader>(
            m_Request.maxRecordBytes, m_Request.maxPoints,
            [](const std::string& text) { OutputDebugStringA(text); }, true);
    }

    const GpxReaderRequest& m_Request;
    std::unique_ptr<GpxAnswerReader> m_Reader;
    std::vector<GpxAnswer> m_Answers;
    bool m_BytesAfterTheEnd = false;
};

// Reads the answers until the reader closes its end, a limit is reached or a stop is asked for.
GpxReaderEnd CollectAnswer(const GpxReaderRequest& request, int answerFd, AnswerStream& reader,
                           Clock::time_point deadline) {
    std::vector<unsigned char> chunk(1 << 16);
    for (;;) {
        if (request.stop != nullptr && request.stop->load()) {
            return GpxReaderEnd::Stopped;
        }
        if (Clock::now() >= deadline) {
            return GpxReaderEnd::TimedOut;
        }
        pollfd wait{answerFd, POLLIN, 0};
        if (poll(&wait, 1, 100) <= 0) {
            continue;
        }
        const ssize_t n = read(answerFd, chunk.data(), chunk.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            return GpxReaderEnd::Answered;  // the reader closed its end; its status decides
        }
        reader.Feed(chunk.data(), static_cast<size_t>(n));
        if (reader.IsMalformed()) {
            return GpxReaderEnd::Malformed;
        }
    }
}

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::clamp<int64_t>(left.count(), 0, 100));
}

// Waits for the reader to end; kills it at the deadline. Returns its wait status.
int Reap(pid_t pid, Clock::time_point deadline) {
    const int pidFd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        pollfd ended{pidFd, POLLIN, 0};
        if (pidFd < 0 || poll(&ended, 1, MillisecondsUntil(deadline)) < 0) {
            usleep(1000);
        }
    }
    if (pidFd >= 0) {
        close(pidFd);
    }
    return status;
}

void Judge(GpxReaderRun& run, int status, AnswerStream& reader) {
    if (WIFSIGNALED(status)) {
        run.end = GpxReaderEnd::Signalled;
        run.code = WTERMSIG(status);
    } else if (WEXITSTATUS(status) != kGpxReaderAnswered) {
        run.end = GpxReaderEnd::Exited;
        run.code = WEXITSTATUS(status);
    } else if (!reader.IsComplete() || reader.IsMalformed()) {
        run.end = GpxReaderEnd::Malformed;
    } else {
        run.end = GpxReaderEnd::Answered;
    }
    run.answers = std::move(reader.Answers());
}

}  // namespace

GpxReaderRun RunGpxReader(const GpxReaderRequest& request) {
    GpxReaderRun run;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        run.error = std::strerror(errno);
        return run;
    }
    const pid_t pid = SpawnReader(request, pipeFds[1], run.error);
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return run;
    }
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(request.limits.wallSeconds));
    AnswerStream reader(request);
    const GpxReaderEnd collected = CollectAnswer(request, pipeFds[0], reader, deadline);
    if (collected != GpxReaderEnd::Answered) {
        kill(pid, SIGKILL);
    }
    close(pipeFds[0]);
    const int status = Reap(pid, collected == GpxReaderEnd::Answered ? deadline : Clock::now());
    if (collected == GpxReaderEnd::Answered) {
        Judge(run, status, reader);
    } else {
        run.end = collected;
        run.answers = std::move(reader.Answers());
    }
    return run;
}

std::string DefaultGpxReaderPath() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        const std::string folder = FolderOf(std::string(self, static_cast<size_t>(length)));
        const std::string installed = folder + "/../libexec/fenrik/fenrik-gpx-reader";
        if (access(installed.c_str(), X_OK) == 0) {
            return installed;
        }
    }
    const std::string built = FENRIK_GPX_READER_BUILD_PATH;
    return access(built.c_str(), X_OK) == 0 ? built : std::string();
}
