// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live settings that a tagging run reads: plain data, which the engine reads without any
// dialog; the configuration object derives from it.

#include <cstdint>
#include <string>

class ProfileStore;

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
    std::string m_TimeZoneId;            // IANA name of the chosen zone; empty when unknown
    int m_UsePhotoTimeZone = 1;          // 1: a photo's own offset tag wins over the zone
    int m_FollowDaylightSaving = 0;      // 1: the zone's full rules instead of its bias
    int m_ClockCorrectionSeconds = 0;    // positive: the camera clock was ahead
    int m_ReplaceRecordedPositions = 1;  // 0: photos that carry a position are left as they are
    int m_RawSidecars = 1;  // 1: RAW photos' positions go into XMP sidecars; 0: RAW not looked at

    // Hot folder n (1..4). Any other n reads as empty, and writes hot folder 1.
    const std::string& HotFolder(int n) const;
    std::string& HotFolder(int n);
};

// Reads TimeZoneId, UsePhotoTimeZone, FollowDaylightSaving, ClockCorrectionSeconds and
// ReplaceRecordedPositions from `profile`, each with its default when absent.
void ReadCameraClockSettings(const ProfileStore& profile, LiveSettings& settings);

// Writes the same but TimeZoneId to `profile`.
void WriteCameraClockSettings(const LiveSettings& settings, ProfileStore& profile);

// Every setting a tagging run reads, as `profile` stores it.
LiveSettings ReadStoredSettings(const ProfileStore& profile);
