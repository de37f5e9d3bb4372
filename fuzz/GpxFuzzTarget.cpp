// Fuzz target for the GPX reader: any bytes as a GPX file must load without crashing or hanging.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/GpxReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/fenrik-gpx-fuzz-" + std::to_string(getpid()) + ".gpx";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    TrackLog log;
    LoadTrackLog(path, log);
    for (size_t i = 0; i < log.Count(); ++i) {
        (void)log.At(i).time;
    }
    std::remove(path.c_str());
    return 0;
}
