// SPDX-License-Identifier: GPL-3.0-or-later
// fenrik-gpx-reader: parses one GPX file for the program in a process of its own, streaming it
// with expat, so that a parser fault or a hostile document can cost no more than this process.
//
//   fenrik-gpx-reader --memory BYTES --cpu SECONDS [--trace] [--files N]
//                     [--convert FORMAT --converter PROGRAM --output-limit BYTES]
//                     [--read location-history]
//
// Standard input is the GPX file (a regular file), standard output the answer (GpxWire.h). With
// --files, the N files are descriptors 3 .. N + 2 instead, answered one after the other. With
// --convert, standard input is a file in GPSBabel's input format FORMAT (or "kmz", a zip archive
// whose KML document is taken out here), which PROGRAM (GPSBabel) converts to GPX as a child of
// this process; at most BYTES of its GPX are read. With --read,
// standard input is a location history in JSON (LocationHistory.h), streamed.
// The process limits itself to the given address space and processor time, writes to no
// regular file, never leaves a core dump and dies with the thread that started it. The exit status
// (GpxReaderExit) says how it ended; a fault in the parser kills it with a signal, which the engine
// reports.
#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <tinyxml.h>

#include "platform/DebugOutput.h"
#include "track/gpx/GpxWire.h"
#include "track/gpx/reader/GpxConversion.h"
#include "track/gpx/reader/GpxEncoding.h"
#include "track/gpx/reader/GpxNesting.h"
#include "track/gpx/reader/GpxStream.h"
#include "track/gpx/reader/GpxWalk.h"
#include "track/gpx/reader/KmzArchive.h"
#include "track/gpx/reader/LocationHistory.h"

namespace {

// Deeper documents are not parsed: real GPX files nest fewer than a dozen levels.
constexpr size_t kMaxNesting = 256;

// The parse runs on a thread of this stack size, whatever the stack limit of the process, with
// a wide guard below it.
constexpr size_t kParseStack = size_t{8} << 20;
constexpr size_t kStackGuard = size_t{1} << 20;

// AddressSanitizer reserves terabytes of address space for itself; under it, an address-space
// limit would stop the process before it starts.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kUnderAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kUnderAddressSanitizer = false;
#endif

struct Options {
    uint64_t memory = 0;
    uint64_t cpuSeconds = 0;
    bool trace = false;
    uint64_t files = 0;            // 0: the one file on standard input
    std::string convertFormat;     // GPSBabel's name of the input's format; empty for GPX
    std::string converter;         // the GPSBabel program
    uint64_t outputLimit = 0;      // bytes of GPX that the converter may write
    bool locationHistory = false;  // the input is a location history, not GPX
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--read" && i + 1 < argc &&
                   std::string(argv[i + 1]) == "location-history") {
            options.locationHistory = true;
            ++i;
        } else if ((arg == "--convert" || arg == "--converter") && i + 1 < argc) {
            (arg == "--convert" ? options.convertFormat : options.converter) = argv[++i];
        } else if ((arg == "--memory" || arg == "--cpu" || arg == "--files" ||
                    arg == "--output-limit") &&
                   i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long value = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0' || value == 0) {
                return false;
            }
            (arg == "--memory"  ? options.memory
             : arg == "--cpu"   ? options.cpuSeconds
             : arg == "--files" ? options.files
                                : options.outputLimit) = value;
        } else {
            return false;
        }
    }
    const bool converts = !options.convertFormat.empty();
    return options.memory > 0 && options.cpuSeconds > 0 && converts == !options.converter.empty() &&
           converts == (options.outputLimit > 0) && !(converts && options.files > 1) &&
           !(options.locationHistory && (converts || options.files > 1));
}

void SetLimit(int resource, rlim_t soft, rlim_t hard) {
    const rlimit limit{soft, hard};
    setrlimit(resource, &limit);
}

void LimitSelf(const Options& options) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    SetLimit(RLIMIT_CORE, 0, 0);
    SetLimit(RLIMIT_FSIZE, 0, 0);  // it writes only to its pipe, so a fault cannot grow a file
    SetLimit(RLIMIT_CPU, options.cpuSeconds, options.cpuSeconds + 1);
    if (!kUnderAddressSanitizer) {
        SetLimit(RLIMIT_AS, options.memory, options.memory);
    }
}

struct ParseJob {
    Options options;
    int exitCode = kGpxReaderAnswered;
};

// A file mapped into memory, unmapped when it goes. Empty for an empty file.
class MappedInput {
public:
    explicit MappedInput(int fd) {
        struct stat info {};
        if (fstat(fd, &info) != 0 || info.st_size <= 0) {
            return;
        }
        m_Size = static_cast<size_t>(info.st_size);
        m_Text = mmap(nullptr, m_Size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (m_Text == MAP_FAILED) {
            throw std::bad_alloc();
        }
    }
    ~MappedInput() {
        if (m_Size > 0) {
            munmap(m_Text, m_Size);
        }
    }
    MappedInput(const MappedInput&) = delete;
    MappedInput& operator=(const MappedInput&) = delete;

    std::string_view Text() const {
        return m_Size > 0 ? std::string_view(static_cast<const char*>(m_Text), m_Size)
                          : std::string_view();
    }

private:
    void* m_Text = nullptr;
    size_t m_Size = 0;
};

// The head of the file, to tell its encoding by.
std::string HeadOf(int fd) {
    std::string head(4096, '\0');
    const ssize_t n = pread(fd, head.data(), head.size(), 0);
    head.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return head;
}

// Streams a location history's points into the answer as they are read.
int AnswerLocationHistory(int fd, GpxAnswerWriter& writer, bool& done) {
    uint64_t count = 0;
    const std::string problem =
        ReadLocationHistory(fd, [&](const TrackPoint& point, PointKind kind, int32_t segment) {
            writer.Point(point, kind, segment);
            ++count;
        });
    if (problem == "too deeply nested") {
        return kGpxReaderTooDeep;
    }
    if (!problem.empty()) {
        writer.Problem(problem);
    }
    done = writer.End(count);
    return kGpxReaderAnswered;
}

// The GPX text when it cannot be streamed from the file as it is: the UTF-8 form of a UTF-16
// file. Returns why there is none, or the empty text with `converted` left empty for a file to
// stream.
std::string ConvertedDocument(int fd, std::string& converted) {
    const GpxEncoding encoding = DetectGpxEncoding(HeadOf(fd));
    if (encoding == GpxEncoding::Utf16LittleEndian || encoding == GpxEncoding::Utf16BigEndian) {
        const MappedInput mapped(fd);
        return ConvertUtf16Document(mapped.Text(), encoding == GpxEncoding::Utf16BigEndian,
                                    converted);
    }
    return UnreadableEncodingProblem(encoding);
}

// Streams the document into `log`: `converted` when there is one, else the file `fd` read
// piece by piece. Returns the XML problem, or the empty text; `tooDeep` when it nested too deep.
std::string StreamDocument(int fd, const std::string& converted, TrackLog& log, bool& tooDeep) {
    struct stat info {};
    if (converted.empty() && (fstat(fd, &info) != 0 || info.st_size == 0)) {
        return "could not be parsed: empty";  // what the tree says of it is kept
    }
    GpxStream stream(log, kMaxNesting);
    if (!converted.empty()) {
        stream.Feed(converted.data(), converted.size(), true);
    } else {
        // A small file's buffer is no larger than it: many are read one after the other.
        std::vector<char> buffer(std::min(static_cast<size_t>(info.st_size) + 1, size_t{1} << 20));
        off_t offset = 0;
        for (;;) {
            const ssize_t n = pread(fd, buffer.data(), buffer.size(), offset);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0 || !stream.Feed(buffer.data(), static_cast<size_t>(n), false)) {
                if (n <= 0) {
                    stream.Feed(buffer.data(), 0, true);
                }
                break;
            }
            offset += n;
        }
    }
    tooDeep = stream.TooDeep();
    return stream.Problem();
}

// Reads the whole document into TinyXML's tree, as before streaming: only for a document that did
// not stream to its end. Returns a reader exit status, and the XML problem in `problem`.
int ReadAsTree(int fd, const std::string& converted, TrackLog& log, std::string& problem) {
    std::string utf8 = converted;
    {
        const MappedInput mapped(fd);
        const std::string_view text = utf8.empty() ? mapped.Text() : utf8;
        if (NestsDeeperThan(text, kMaxNesting)) {
            return kGpxReaderTooDeep;
        }
    }
    lseek(fd, 0, SEEK_SET);
    std::FILE* input =
        utf8.empty() ? fdopen(dup(fd), "rb") : fmemopen(utf8.data(), utf8.size(), "rb");
    if (input == nullptr) {
        return kGpxReaderBadInput;
    }
    TiXmlDocument document;
    problem = ReadGpxDocument(input, document, log);
    std::fclose(input);
    return kGpxReaderAnswered;
}

// Writes `problem` (when there is one) and the points of `log` as the answer.
int WriteAnswer(const TrackLog& log, const std::string& problem, GpxAnswerWriter& writer,
                bool& done) {
    if (!problem.empty()) {
        writer.Problem(problem);
    }
    for (size_t i = 0; i < log.Count(); ++i) {
        const TrackRun& run = log.RunAt(i);
        writer.Point(log.At(i), run.kind, run.segment);
    }
    done = writer.End(log.Count());
    return kGpxReaderAnswered;
}

// Streams GPSBabel's GPX of the file `fd` (a KMZ archive's KML document) as it is written, never
// holding it whole. GPSBabel writes well-formed GPX; output that does not stream to its end keeps
// the points before, with the stream's problem. Returns a reader exit status for output too large
// or too deep, or kGpxReaderAnswered.
int AnswerConverted(int fd, const Options& options, GpxAnswerWriter& writer, bool& done) {
    const bool zipped = options.convertFormat == "kmz";
    std::string kml;
    if (zipped) {
        const std::string problem = ExtractKml(fd, options.outputLimit, kml);
        if (!problem.empty()) {
            return WriteAnswer(TrackLog(), "could not be parsed: " + problem, writer, done);
        }
    }
    if (options.trace) {
        SetDebugSink([&writer](const std::string& text) { writer.Trace(text); });
    }
    TrackLog log;
    GpxStream stream(log, kMaxNesting);
    uint64_t written = 0;
    const GpxConversionResult conversion = ConvertToGpx(
        fd, options.converter, zipped ? "kml" : options.convertFormat, options.outputLimit,
        [&stream, &written](const char* data, size_t size) {
            written += size;
            return stream.Feed(data, size, false);
        },
        zipped ? &kml : nullptr);
    stream.Feed("", 0, true);
    SetDebugSink(DebugSink());
    if (conversion.tooLarge) {
        return kGpxReaderOutputTooLarge;
    }
    if (stream.TooDeep()) {
        return kGpxReaderTooDeep;
    }
    if (!conversion.problem.empty() || written == 0) {
        return WriteAnswer(TrackLog(),
                           written == 0 && conversion.problem.empty() ? "GPSBabel wrote nothing"
                                                                      : conversion.problem,
                           writer, done);
    }
    return WriteAnswer(log, stream.Problem(), writer, done);
}

// Parses the file `fd` and writes its answer; `done` says whether it is. Returns a reader exit
// status for a file that cannot be parsed at all (too deep, a converter's output too large), or
// kGpxReaderAnswered.
int AnswerOne(int fd, const Options& options, GpxAnswerWriter& writer, bool& done) {
    done = false;
    if (options.locationHistory) {
        return AnswerLocationHistory(fd, writer, done);
    }
    if (!options.convertFormat.empty()) {
        return AnswerConverted(fd, options, writer, done);
    }
    std::string converted;
    const std::string unreadable = ConvertedDocument(fd, converted);
    if (!unreadable.empty()) {
        writer.Problem(unreadable);
        done = writer.End(0);
        return kGpxReaderAnswered;
    }
    // The stream's traces wait for its end: a document that does not stream to its end is read
    // again, and traced, as a tree.
    std::vector<std::string> traces;
    if (options.trace) {
        SetDebugSink([&traces](const std::string& text) { traces.push_back(text); });
    }
    TrackLog log;
    bool tooDeep = false;
    std::string problem = StreamDocument(fd, converted, log, tooDeep);
    if (options.trace) {
        SetDebugSink([&writer](const std::string& text) { writer.Trace(text); });
    }
    if (tooDeep || !problem.empty()) {
        // A broken or deep document is read as the tree reader always read it, so that it gives
        // the same points and says the same of where it broke.
        log.Empty();
        const int treeStatus = ReadAsTree(fd, converted, log, problem);
        if (treeStatus != kGpxReaderAnswered) {
            return treeStatus;
        }
    } else {
        for (const std::string& text : traces) {
            writer.Trace(text);
        }
    }
    SetDebugSink(DebugSink());
    return WriteAnswer(log, problem, writer, done);
}

// Answers every input file in turn, then ends the process at once.
int ParseAndAnswer(const Options& options) {
    GpxAnswerWriter writer(STDOUT_FILENO);
    const uint64_t files = options.files == 0 ? 1 : options.files;
    for (uint64_t n = 0; n < files; ++n) {
        const int fd = options.files == 0 ? STDIN_FILENO : static_cast<int>(3 + n);
        bool done = false;
        const int status = AnswerOne(fd, options, writer, done);
        if (status != kGpxReaderAnswered) {
            return status;
        }
        if (!done) {
            _exit(kGpxReaderCannotAnswer);
        }
    }
    _exit(kGpxReaderAnswered);
}

void* ParseThread(void* argument) {
    auto* job = static_cast<ParseJob*>(argument);
    try {
        job->exitCode = ParseAndAnswer(job->options);
    } catch (const std::bad_alloc&) {
        job->exitCode = kGpxReaderOutOfMemory;
    }
    return nullptr;
}

bool InputsAreRegularFiles(const Options& options) {
    const uint64_t files = options.files == 0 ? 1 : options.files;
    for (uint64_t n = 0; n < files; ++n) {
        struct stat info {};
        const int fd = options.files == 0 ? STDIN_FILENO : static_cast<int>(3 + n);
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options) || !InputsAreRegularFiles(options)) {
        return kGpxReaderBadInput;
    }
    LimitSelf(options);
    // One heap for both threads, so that the parse thread's allocations come from the main
    // heap, where the huge pages the program asks for through GLIBC_TUNABLES apply.
    mallopt(M_ARENA_MAX, 1);
    ParseJob job{options};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, kParseStack);
    pthread_attr_setguardsize(&attr, kStackGuard);
    pthread_t thread;
    if (pthread_create(&thread, &attr, ParseThread, &job) != 0) {
        return kGpxReaderOutOfMemory;
    }
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    return job.exitCode;
}
