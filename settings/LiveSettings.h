// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The live settings that a tagging run reads: plain data, held by the configuration object
// (which derives from this) and read by the engine without any dialog.

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

    // Path of hot folder n (1..4). Read access gives the empty text for any other n; write
    // access is only for 1..4 (any other n reaches hot folder 1).
    const std::string& HotFolder(int n) const;
    std::string& HotFolder(int n);
};

// Reads the camera clock settings (TimeZoneId, UsePhotoTimeZone, FollowDaylightSaving,
// ClockCorrectionSeconds, ReplaceRecordedPositions) from section Settings of `profile`, each
// with its default when absent.
void ReadCameraClockSettings(const ProfileStore& profile, LiveSettings& settings);

// Writes the four camera clock switches and the correction (not the zone) to `profile`.
void WriteCameraClockSettings(const LiveSettings& settings, ProfileStore& profile);

// Every setting a tagging run reads, as stored: the hot folders, the tolerance, the log file,
// the GPX path, the bias, the RAW sidecar switch and the camera clock settings, from `profile`.
LiveSettings ReadStoredSettings(const ProfileStore& profile);
