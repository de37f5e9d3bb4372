// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/LiveSettings.h"

#include "config/SettingKeys.h"
#include "platform/ProfileStore.h"

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

int ReadInt(const char* key, int defaultValue) {
    return AppProfile().GetProfileInt(kSettingsSection, key, defaultValue);
}

std::string ReadString(const char* key) {
    return AppProfile().GetProfileString(kSettingsSection, key, "");
}

}  // namespace

void ReadCameraClockSettings(LiveSettings& settings) {
    settings.m_TimeZoneId = ReadString(kTimeZoneId);
    settings.m_UsePhotoTimeZone = ReadInt(kUsePhotoTimeZone, 1);
    settings.m_FollowDaylightSaving = ReadInt(kFollowDaylightSaving, 0);
    settings.m_ClockCorrectionSeconds = ReadInt(kClockCorrectionSeconds, 0);
    settings.m_ReplaceRecordedPositions = ReadInt(kReplaceRecordedPositions, 1);
}

void WriteCameraClockSettings(const LiveSettings& settings) {
    ProfileStore& profile = AppProfile();
    profile.WriteProfileInt(kSettingsSection, kUsePhotoTimeZone, settings.m_UsePhotoTimeZone);
    profile.WriteProfileInt(kSettingsSection, kFollowDaylightSaving,
                            settings.m_FollowDaylightSaving);
    profile.WriteProfileInt(kSettingsSection, kClockCorrectionSeconds,
                            settings.m_ClockCorrectionSeconds);
    profile.WriteProfileInt(kSettingsSection, kReplaceRecordedPositions,
                            settings.m_ReplaceRecordedPositions);
}

LiveSettings ReadStoredSettings() {
    LiveSettings settings;
    for (int n = 1; n <= 4; ++n) {
        settings.HotFolder(n) = ReadString(kHotFolderKeys[n - 1]);
    }
    settings.m_ToleranceHours = ReadString(kToleranceHours);
    settings.m_ToleranceMinutes = ReadString(kToleranceMinutes);
    settings.m_UseLogfile = ReadInt(kUseLogfile, 0);
    settings.m_LogfileDir = ReadString(kLogfileDir);
    settings.m_Device = ReadString(kDevice);
    settings.m_BiasInMinutes = ReadInt(kBiasInMinutes, 0);
    settings.m_RawSidecars = ReadInt(kRawSidecars, 1);
    ReadCameraClockSettings(settings);
    return settings;
}
