#pragma once
// The live settings that a tagging run reads: plain data, held by the configuration object
// (which derives from this) and read by the engine without any dialog.

#include <cstdint>
#include <string>

struct LiveSettings {
    int32_t m_BiasInMinutes = 0;     // UTC = camera time + bias
    std::string m_ToleranceHours;    // decimal text as typed; read with atoi at every match
    std::string m_ToleranceMinutes;  // likewise
    std::string m_HotFolder1;
    std::string m_HotFolder2;
    std::string m_HotFolder3;
    std::string m_HotFolder4;
    std::string m_Device;  // path of the GPX file
    int m_UseLogfile = 0;  // 1 when the log file is written
    std::string m_LogfileDir;

    // Path of hot folder n (1..4). Read access gives the empty text for any other n; write
    // access is only for 1..4 (any other n reaches hot folder 1).
    const std::string& HotFolder(int n) const;
    std::string& HotFolder(int n);
};
