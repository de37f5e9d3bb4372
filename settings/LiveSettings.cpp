// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/LiveSettings.h"

#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

const std::string& LiveSettings::HotFolder(int n) const {
    static const std::string kNone;
    const std::string* const folders[4] = {&m_HotFolder1, &m_HotFolder2, &m_HotFolder3,
                                           &m_HotFolder4};
    return n >= 1 && n <= 4 ? *folders[n - 1] : kNone;
}

std::string& LiveSettings::HotFolder(int n) {
    std::string* const folders[4] = {&m_HotFolder1, &m_HotFolder2, &m_HotFolder3, &m_HotFolder4};
    return *folders[n >= 1 && n <= 4 ? n - 1 : 0];
}

namespace {

int ReadInt(const ProfileStore& profile, const char* key, int defaultValue) {
    return profile.GetProfileInt(kSettingsSection, key, defaultValue);
}

std::string ReadString(const ProfileStore& profile, const char* key) {
    return profile.GetProfileString(kSettingsSection, key, "");
}

}  // namespace

void ReadCameraClockSettings(const ProfileStore& profile, LiveSettings& settings) {
    settings.m_TimeZoneId = ReadString(profile, kTimeZoneId);
    settings.m_UsePhotoTimeZone = ReadInt(profile, kUsePhotoTimeZone, 1);
    settings.m_FollowDaylightSaving = ReadInt(profile, kFollowDaylightSaving, 0);
    settings.m_ClockCorrectionSeconds = ReadInt(profile, kClockCorrectionSeconds, 0);
    settings.m_ReplaceRecordedPositions = ReadInt(profile, kReplaceRecordedPositions, 1);
    settings.m_InterpolatePositions = ReadInt(profile, kInterpolatePositions, 0);
    settings.m_MaxInterpolationGapSeconds =
        ReadInt(profile, kMaxInterpolationGapSeconds, kDefaultMaxInterpolationGapSeconds);
}

void WriteCameraClockSettings(const LiveSettings& settings, ProfileStore& profile) {
    profile.WriteProfileInt(kSettingsSection, kUsePhotoTimeZone, settings.m_UsePhotoTimeZone);
    profile.WriteProfileInt(kSettingsSection, kFollowDaylightSaving,
                            settings.m_FollowDaylightSaving);
    profile.WriteProfileInt(kSettingsSection, kClockCorrectionSeconds,
                            settings.m_ClockCorrectionSeconds);
    profile.WriteProfileInt(kSettingsSection, kReplaceRecordedPositions,
                            settings.m_ReplaceRecordedPositions);
    profile.WriteProfileInt(kSettingsSection, kInterpolatePositions,
                            settings.m_InterpolatePositions);
    profile.WriteProfileInt(kSettingsSection, kMaxInterpolationGapSeconds,
                            settings.m_MaxInterpolationGapSeconds);
}

LiveSettings ReadStoredSettings(const ProfileStore& profile) {
    LiveSettings settings;
    for (int n = 1; n <= 4; ++n) {
        settings.HotFolder(n) = ReadString(profile, kHotFolderKeys[n - 1]);
    }
    settings.m_ToleranceHours = ReadString(profile, kToleranceHours);
    settings.m_ToleranceMinutes = ReadString(profile, kToleranceMinutes);
    settings.m_UseLogfile = ReadInt(profile, kUseLogfile, 0);
    settings.m_LogfileDir = ReadString(profile, kLogfileDir);
    settings.m_Device = ReadString(profile, kDevice);
    settings.m_BiasInMinutes = ReadInt(profile, kBiasInMinutes, 0);
    settings.m_RawSidecars = ReadInt(profile, kRawSidecars, 1);
    ReadCameraClockSettings(profile, settings);
    return settings;
}
