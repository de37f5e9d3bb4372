// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/reader/GpxConversion.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace {

// What GPSBabel says on its standard error is kept up to this size, for the problem text.
constexpr size_t kMaxMessage = 4096;

struct Pipe {
    int read = -1;
    int write = -1;
};

bool OpenPipe(Pipe& pipe) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    pipe.read = fds[0];
    pipe.write = fds[1];
    return true;
}

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecConverter(int inputFd, const Pipe& out, const Pipe& err, char** argv) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    signal(SIGPIPE, SIG_DFL);
    if (dup2(inputFd, STDIN_FILENO) < 0 || dup2(out.write, STDOUT_FILENO) < 0 ||
        dup2(err.write, STDERR_FILENO) < 0) {
        _exit(127);
    }
    execv(argv[0], argv);
    _exit(127);
}

// The first line of GPSBabel's message, without its trailing blanks.
std::string FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}

std::string EndProblem(int status, const std::string& message) {
    if (WIFSIGNALED(status)) {
        const char* name = sigabbrev_np(WTERMSIG(status));
        return std::string("GPSBabel ended with ") +
               (name != nullptr ? std::string("SIG") + name
                                : "signal " + std::to_string(WTERMSIG(status)));
    }
    if (WEXITSTATUS(status) == 127) {
        return "GPSBabel could not be started";
    }
    if (WEXITSTATUS(status) != 0) {
        const std::string line = FirstLine(message);
        return "GPSBabel could not convert it" + (line.empty() ? std::string() : ": " + line);
    }
    return std::string();
}

// Writes `input` into GPSBabel through `in` (when open) and reads both pipes until GPSBabel
// closes them, or its output passes `maxBytes`; the output goes to `sink` until it wants no more.
void Collect(int in, const std::string* input, const Pipe& out, const Pipe& err, uint64_t maxBytes,
             const GpxSink& sink, GpxConversionResult& result, std::string& message) {
    uint64_t passed = 0;
    bool listening = true;
    pollfd fds[3] = {{out.read, POLLIN, 0}, {err.read, POLLIN, 0}, {in, POLLOUT, 0}};
    size_t written = 0;
    std::vector<char> chunk(1 << 16);
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[2].fd >= 0 && fds[2].revents != 0) {
            const ssize_t n = write(fds[2].fd, input->data() + written,
                                    std::min(input->size() - written, chunk.size()));
            written += n > 0 ? static_cast<size_t>(n) : 0;
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input->size()) {
                close(fds[2].fd);  // all of it, or GPSBabel stopped reading
                fds[2].fd = -1;
            }
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            const ssize_t n = read(fds[i].fd, chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                fds[i].fd = -1;
                continue;
            }
            if (i == 1) {
                message.append(chunk.data(),
                               std::min(static_cast<size_t>(n),
                                        kMaxMessage - std::min(kMaxMessage, message.size())));
            } else if (passed + static_cast<uint64_t>(n) > maxBytes) {
                result.tooLarge = true;
                break;
            } else {
                passed += static_cast<uint64_t>(n);
                listening = listening && sink(chunk.data(), static_cast<size_t>(n));
            }
        }
        if (result.tooLarge) {
            break;
        }
    }
    if (fds[2].fd >= 0) {
        close(fds[2].fd);
    }
}

}  // namespace

GpxConversionResult ConvertToGpx(int inputFd, const std::string& program, const std::string& format,
                                 uint64_t maxBytes, const GpxSink& sink, const std::string* input) {
    GpxConversionResult result;
    std::vector<std::string> args = {
        program, "-i", format, "-f", input != nullptr ? "-" : "/dev/stdin", "-o", "gpx", "-F", "-"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    Pipe in;
    Pipe out;
    Pipe err;
    if ((input != nullptr && !OpenPipe(in)) || !OpenPipe(out) || !OpenPipe(err)) {
        result.problem = std::string("GPSBabel could not be started: ") + std::strerror(errno);
        return result;
    }
    // GPSBabel ending before it has read all of its input must not end this process.
    signal(SIGPIPE, SIG_IGN);
    const pid_t pid = fork();
    if (pid == 0) {
        ExecConverter(input != nullptr ? in.read : inputFd, out, err, argv.data());
    }
    close(out.write);
    close(err.write);
    if (input != nullptr) {
        close(in.read);
        fcntl(in.write, F_SETFL, O_NONBLOCK);
    }
    if (pid < 0) {
        result.problem = std::string("GPSBabel could not be started: ") + std::strerror(errno);
        close(out.read);
        close(err.read);
        if (input != nullptr) {
            close(in.write);
        }
        return result;
    }
    std::string message;
    Collect(input != nullptr ? in.write : -1, input, out, err, maxBytes, sink, result, message);
    if (result.tooLarge) {
        kill(pid, SIGKILL);
    }
    close(out.read);
    close(err.read);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!result.tooLarge) {
        result.problem = EndProblem(status, message);
    }
    return result;
}
