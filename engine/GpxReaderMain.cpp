// fenrik-gpx-reader: parses one GPX file for the program in a process of its own, so that a
// parser fault or a hostile document can cost no more than this process.
//
//   fenrik-gpx-reader --memory BYTES --cpu SECONDS [--trace]
//
// Standard input is the GPX file (a regular file), standard output the answer (GpxWire.h).
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

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include <tinyxml.h>

#include "engine/GpxNesting.h"
#include "engine/GpxWalk.h"
#include "engine/GpxWire.h"
#include "platform/DebugOutput.h"

namespace {

// Deeper documents are not parsed. Real GPX files nest fewer than a dozen levels, and TinyXML's
// work for each element grows with its depth, so deep nesting costs time as well as stack.
constexpr size_t kMaxNesting = 256;

// The parse runs on a thread of this stack size, whatever the stack limit of the process, with
// a wide guard below it: a document that got past the nesting scan dies of the overflow.
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
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--trace") {
            options.trace = true;
        } else if ((arg == "--memory" || arg == "--cpu") && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long long value = std::strtoull(argv[++i], &end, 10);
            if (*end != '\0' || value == 0) {
                return false;
            }
            (arg == "--memory" ? options.memory : options.cpuSeconds) = value;
        } else {
            return false;
        }
    }
    return options.memory > 0 && options.cpuSeconds > 0;
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

// True when the document on standard input nests too deeply.
bool IsTooDeeplyNested() {
    struct stat info {};
    if (fstat(STDIN_FILENO, &info) != 0 || info.st_size <= 0) {
        return false;
    }
    const auto size = static_cast<size_t>(info.st_size);
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, STDIN_FILENO, 0);
    if (text == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const bool deep =
        NestsDeeperThan(std::string_view(static_cast<const char*>(text), size), kMaxNesting);
    munmap(text, size);
    return deep;
}

// Parses standard input and answers. Once the answer is written, the process ends at once, with
// the document still built: the kernel takes its memory back far faster than the document's
// destructor gives it back node by node, which costs a sixth of a one-day track's load. Returns
// only when it cannot parse at all.
int ParseAndAnswer(const Options& options) {
    if (IsTooDeeplyNested()) {
        return kGpxReaderTooDeep;
    }
    std::FILE* input = fdopen(STDIN_FILENO, "rb");
    if (input == nullptr) {
        return kGpxReaderBadInput;
    }
    GpxAnswerWriter writer(STDOUT_FILENO);
    if (options.trace) {
        SetDebugSink([&writer](const std::string& text) { writer.Trace(text); });
    }
    TiXmlDocument document;
    TrackLog log;
    const std::string problem = ReadGpxDocument(input, document, log);
    SetDebugSink(DebugSink());
    if (!problem.empty()) {
        writer.Problem(problem);
    }
    for (size_t i = 0; i < log.Count(); ++i) {
        writer.Point(log.At(i));
    }
    _exit(writer.End(log.Count()) ? kGpxReaderAnswered : kGpxReaderCannotAnswer);
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

bool InputIsRegularFile() {
    struct stat info {};
    return fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options) || !InputIsRegularFile()) {
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
