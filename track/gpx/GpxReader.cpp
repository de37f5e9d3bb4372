// SPDX-License-Identifier: GPL-3.0-or-later
#include "track/gpx/GpxReader.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <utility>

#include "platform/DebugOutput.h"
#include "platform/Log.h"
#include "platform/NumberText.h"
#include "platform/UniqueFd.h"

namespace {

constexpr uint64_t kMegabyte = uint64_t{1} << 20;

// Bytes of memory the system can give without swapping, or 0 when unknown.
uint64_t MemoryAvailable() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    uint64_t kilobytes = 0;
    while (meminfo >> key >> kilobytes) {
        if (key == "MemAvailable:") {
            return kilobytes * 1024;
        }
        meminfo.ignore(64, '\n');
    }
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 ? uint64_t(pages) * uint64_t(pageSize) / 2 : 0;
}

// An open GPX file, closed when it goes.
struct OpenFile {
    UniqueFd fd;
    uint64_t size = 0;
};

// Opens a regular file without ever blocking on a FIFO or a device; returns the problem, or the
// empty text when `file` is open.
std::string OpenRegularFile(const std::string& path, OpenFile& file) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return std::string("cannot be opened: ") + std::strerror(errno);
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    file.fd.Reset(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.fd.Valid()) {
        return std::string("cannot be opened: ") + std::strerror(errno);
    }
    if (fstat(file.fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    file.size = static_cast<uint64_t>(info.st_size);
    return std::string();
}

// Each text of the answer is a node's value or a short note, so none can exceed the file.
GpxReaderRequest MakeRequest(const OpenFile& file, const GpxReadOptions& options,
                             const GpxReaderLimits& limits, const GpxConversion* conversion) {
    GpxReaderRequest request;
    request.readerPath = options.readerPath.empty() ? DefaultGpxReaderPath() : options.readerPath;
    request.fileFds = {file.fd.Get()};
    request.limits = limits;
    // A UTF-16 file's text grows by half at most in the UTF-8 the reader answers in.
    request.maxRecordBytes = static_cast<size_t>(file.size) / 2 * 3 + 4096;
    request.maxPoints = static_cast<size_t>(file.size / 8) + 1;  // a point takes far more bytes
    request.trace = IsDebugOutputEnabled();
    request.stop = options.stop;
    if (conversion != nullptr && conversion->program.empty()) {
        request.convertFormat = conversion->format;  // read as it is, bounded by the file
    } else if (conversion != nullptr) {
        // The GPX text is bounded by the converter's output limit rather than by the file.
        request.convertFormat = conversion->format;
        request.converter = conversion->program;
        request.maxConvertedBytes = MaxGpxFileSize(limits);
        request.maxRecordBytes = static_cast<size_t>(request.maxConvertedBytes);
        request.maxPoints = static_cast<size_t>(request.maxConvertedBytes / 8) + 1;
    }
    return request;
}

bool IsUsable(const TrackPoint& point) {
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) &&
           std::isfinite(point.elevation) && std::fabs(point.latitude) <= 90.0 &&
           std::fabs(point.longitude) <= 180.0;
}

std::string SignalText(int signal) {
    const char* name = sigabbrev_np(signal);
    return name != nullptr ? std::string("SIG") + name : "signal " + std::to_string(signal);
}

// The problem that a run of the reader that gave no answer stands for.
std::string ProblemOf(const GpxReaderRun& run, const GpxReaderLimits& limits) {
    switch (run.end) {
        case GpxReaderEnd::Exited:
            if (run.code == kGpxReaderTooDeep) {
                return "too deeply nested";
            }
            if (run.code == kGpxReaderOutOfMemory) {
                return "too large for the memory available";
            }
            if (run.code == kGpxReaderOutputTooLarge) {
                return "too large for the memory available once converted to GPX";
            }
            return "could not be parsed: the reader ended with status " + std::to_string(run.code);
        case GpxReaderEnd::Signalled:
            if (run.code == SIGXCPU) {
                return "could not be parsed within " + std::to_string(limits.cpuSeconds) +
                       " s of processor time";
            }
            return "could not be parsed: the reader ended with " + SignalText(run.code);
        case GpxReaderEnd::TimedOut:
            return FormatC(100, "could not be parsed within %g s", limits.wallSeconds);
        case GpxReaderEnd::Malformed:
            return "could not be parsed: the reader's answer was malformed";
        case GpxReaderEnd::NotStarted:
            return "could not be parsed: the GPX reader could not be started: " + run.error;
        default:
            return std::string();
    }
}

// Appends the answer's points when every one is usable; the reader discards unusable points
// itself, so one that arrives here means the answer cannot be trusted.
std::string TakeAnswer(const std::string& path, GpxAnswer& answer, TrackLog& log,
                       const char* format) {
    for (size_t i = 0; i < answer.log.Count(); ++i) {
        if (!IsUsable(answer.log.At(i))) {
            return "could not be parsed: the reader's answer was malformed";
        }
    }
    log.AppendLog(std::move(answer.log), path, format);
    return answer.problem;
}

std::string ReadOpenFile(const std::string& path, const OpenFile& file, TrackLog& log,
                         const GpxReadOptions& options, const GpxConversion* conversion,
                         bool& stopped) {
    const GpxReaderLimits limits =
        options.limits ? *options.limits : DefaultGpxReaderLimits(file.size);
    const bool streamed = conversion != nullptr && conversion->program.empty();
    if (file.size > MaxGpxFileSize(limits) && !streamed) {
        return "too large for the memory available";
    }
    GpxReaderRun run = RunGpxReader(MakeRequest(file, options, limits, conversion));
    stopped = run.end == GpxReaderEnd::Stopped;
    if (run.end != GpxReaderEnd::Answered) {
        return ProblemOf(run, limits);
    }
    return TakeAnswer(path, run.answers.front(), log,
                      conversion != nullptr ? conversion->label.c_str() : "GPX");
}

// Small files are read many to a reader process: starting one is what takes the time.
constexpr uint64_t kBatchedFileSize = 64 * 1024;
constexpr size_t kBatchFiles = 256;
const char kEmptyDocument[] = "could not be parsed: Error document empty. at line 0, column 0";

// The files of a folder being read, in order, and what each gave.
class FileReads {
public:
    // Files of another format, with `conversion`, are each read alone.
    FileReads(TrackLog& log, const GpxReadOptions& options,
              const GpxConversion* conversion = nullptr)
        : m_Log(log), m_Options(options), m_Conversion(conversion) {}

    void Read(const std::string& path) {
        Pending pending;
        pending.path = path;
        pending.problem = OpenRegularFile(path, pending.file);
        if (pending.problem.empty() && pending.file.size == 0 && m_Conversion == nullptr) {
            pending.problem = kEmptyDocument;
        }
        const bool large = pending.problem.empty() && !Batched(pending);
        m_Queue.push_back(std::move(pending));
        if (large || ++m_Small == kBatchFiles) {
            Drain();
        }
    }
    std::vector<TrackFileReport> Reports() {
        Drain();
        return std::move(m_Reports);
    }

private:
    struct Pending {
        std::string path;
        std::string problem;  // known before any reading
        OpenFile file;
    };

    bool Batched(const Pending& pending) const {
        return m_Conversion == nullptr && pending.problem.empty() &&
               pending.file.size <= kBatchedFileSize;
    }
    // Reports every queued file in order: a known problem as it is, a large file read alone,
    // and the small ones between them read by one reader.
    void Drain() {
        for (size_t i = 0; i < m_Queue.size();) {
            Pending& first = m_Queue[i];
            if (m_Stopped || !first.problem.empty() || !Batched(first)) {
                Finish(first);
                ++i;
                continue;
            }
            size_t end = i;
            std::vector<Pending*> batch;
            for (; end < m_Queue.size() && (Batched(m_Queue[end]) || !m_Queue[end].problem.empty());
                 ++end) {
                if (m_Queue[end].problem.empty()) {
                    batch.push_back(&m_Queue[end]);
                }
            }
            i = ReadBatch(i, end, batch);
        }
        m_Queue.clear();
        m_Small = 0;
    }
    // Reads the files of `batch` (queue entries from `first` to `end`) with one reader, reporting
    // in queue order; returns the entry to go on from. The file the reader failed on is read
    // alone, so that each failure is its own file's, and those after it go on in a new batch.
    size_t ReadBatch(size_t first, size_t end, const std::vector<Pending*>& batch) {
        if (batch.size() == 1) {
            for (size_t k = first; k < end; ++k) {
                Finish(m_Queue[k]);
            }
            return end;
        }
        GpxReaderRun run = RunGpxReader(BatchRequest(batch));
        m_Stopped = run.end == GpxReaderEnd::Stopped;
        size_t answered = 0;
        for (size_t k = first; k < end; ++k) {
            Pending& pending = m_Queue[k];
            if (!pending.problem.empty()) {
                Finish(pending);
            } else if (answered < run.answers.size()) {
                const size_t before = m_Log.Count();
                const std::string problem =
                    TakeAnswer(pending.path, run.answers[answered++], m_Log, "GPX");
                Report(pending.path, problem, false, m_Log.Count() - before);
            } else {
                lseek(pending.file.fd.Get(), 0, SEEK_SET);
                Finish(pending);
                return k + 1;
            }
        }
        return end;
    }
    // Reports an entry: its known problem, or what reading it alone gave.
    void Finish(const Pending& pending) {
        const size_t before = m_Log.Count();
        bool stopped = m_Stopped;
        std::string problem = pending.problem;
        if (problem.empty() && !stopped) {
            problem =
                ReadOpenFile(pending.path, pending.file, m_Log, m_Options, m_Conversion, stopped);
        }
        Report(pending.path, problem, stopped, m_Log.Count() - before);
    }
    void Report(const std::string& path, const std::string& problem, bool stopped, size_t points) {
        TrackFileReport report;
        report.points = points;
        report.format = m_Conversion != nullptr ? m_Conversion->label : "GPX";
        m_Stopped = m_Stopped || stopped;
        if (m_Stopped) {
            report.status = Status::Stopped();
        } else if (!problem.empty()) {
            const std::string format = m_Conversion != nullptr ? m_Conversion->label : "GPX";
            Log::Instance().WriteAndTrace(Error, format + " file " + path + ": " + problem);
            report.status = Status::Unreadable(problem);
        }
        m_Reports.push_back(std::move(report));
    }
    GpxReaderRequest BatchRequest(const std::vector<Pending*>& batch) const {
        OpenFile largest;
        uint64_t total = 0;
        for (const Pending* pending : batch) {
            largest.size = std::max(largest.size, pending->file.size);
            total += pending->file.size;
        }
        GpxReaderRequest request = MakeRequest(
            largest, m_Options,
            m_Options.limits ? *m_Options.limits : DefaultGpxReaderLimits(total), nullptr);
        request.fileFds.clear();
        for (const Pending* pending : batch) {
            request.fileFds.push_back(pending->file.fd.Get());
        }
        return request;
    }

    TrackLog& m_Log;
    const GpxReadOptions& m_Options;
    const GpxConversion* m_Conversion;
    std::vector<Pending> m_Queue;  // read, not yet reported
    size_t m_Small = 0;            // of them, small readable files
    std::vector<TrackFileReport> m_Reports;
    bool m_Stopped = false;
};

}  // namespace

GpxReaderLimits DefaultGpxReaderLimits(uint64_t fileSize) {
    GpxReaderLimits limits;
    limits.memoryBytes = std::max<uint64_t>(MemoryAvailable() / 4 * 3, 256 * kMegabyte);
    limits.cpuSeconds = 30 + fileSize / kMegabyte;
    limits.wallSeconds = 2.0 * static_cast<double>(limits.cpuSeconds);
    return limits;
}

uint64_t MaxGpxFileSize(const GpxReaderLimits& limits) {
    return limits.memoryBytes / 16;
}

TrackFileReport ReadGpxFile(const std::string& path, TrackLog& log, const GpxReadOptions& options) {
    return ReadGpxFiles({path}, log, options).front();
}

std::vector<TrackFileReport> ReadGpxFiles(const std::vector<std::string>& paths, TrackLog& log,
                                          const GpxReadOptions& options) {
    FileReads reads(log, options);
    for (const std::string& path : paths) {
        reads.Read(path);
    }
    return reads.Reports();
}

TrackFileReport ReadConvertedFile(const std::string& path, TrackLog& log,
                                  const GpxConversion& conversion, const GpxReadOptions& options) {
    FileReads reads(log, options, &conversion);
    reads.Read(path);
    return reads.Reports().front();
}
