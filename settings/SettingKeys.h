// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names, kinds and defaults of the persisted settings, all in section kSettingsSection.

inline constexpr char kSettingsSection[] = "Settings";

inline constexpr char kHotFolder1[] = "HotFolder1";
inline constexpr char kHotFolder2[] = "HotFolder2";
inline constexpr char kHotFolder3[] = "HotFolder3";
inline constexpr char kHotFolder4[] = "HotFolder4";
inline constexpr char kHotFolder1Enabled[] = "HotFolder1Enabled";
inline constexpr char kHotFolder2Enabled[] = "HotFolder2Enabled";
inline constexpr char kHotFolder3Enabled[] = "HotFolder3Enabled";
inline constexpr char kHotFolder4Enabled[] = "HotFolder4Enabled";
inline constexpr char kToleranceHours[] = "ToleranceHours";
inline constexpr char kToleranceMinutes[] = "ToleranceMinutes";
inline constexpr char kUseLogfile[] = "UseLogfile";
inline constexpr char kLogfileDir[] = "LogfileDir";
inline constexpr char kDevice[] = "Device";
inline constexpr char kTZIndex[] = "TZIndex";
inline constexpr char kBiasInMinutes[] = "BiasInMinutes";
inline constexpr char kTimeZoneId[] = "TimeZoneId";  // the chosen zone's IANA name
inline constexpr char kUsePhotoTimeZone[] = "UsePhotoTimeZone";
inline constexpr char kFollowDaylightSaving[] = "FollowDaylightSaving";
inline constexpr char kClockCorrectionSeconds[] = "ClockCorrectionSeconds";
inline constexpr char kReplaceRecordedPositions[] = "ReplaceRecordedPositions";
inline constexpr char kRawSidecars[] = "RawSidecars";  // 1: RAW photos tagged through sidecars

// Key of hot folder n (1..4) at index n - 1.
inline constexpr const char* kHotFolderKeys[4] = {kHotFolder1, kHotFolder2, kHotFolder3,
                                                  kHotFolder4};
inline constexpr const char* kHotFolderEnabledKeys[4] = {kHotFolder1Enabled, kHotFolder2Enabled,
                                                         kHotFolder3Enabled, kHotFolder4Enabled};

// A stored TZIndex that asks for the system's own zone to be preselected; never written.
inline constexpr int kTZIndexSystemZone = -1;

enum class SettingKind { Integer, String };

// One persisted setting and the default a read passes; every string default is empty.
struct SettingInfo {
    const char* key;
    SettingKind kind;
    int defaultInteger;
    const char* defaultString;
};

inline constexpr SettingInfo kAllSettings[] = {
    {kHotFolder1, SettingKind::String, 0, ""},
    {kHotFolder2, SettingKind::String, 0, ""},
    {kHotFolder3, SettingKind::String, 0, ""},
    {kHotFolder4, SettingKind::String, 0, ""},
    {kHotFolder1Enabled, SettingKind::Integer, 0, ""},
    {kHotFolder2Enabled, SettingKind::Integer, 0, ""},
    {kHotFolder3Enabled, SettingKind::Integer, 0, ""},
    {kHotFolder4Enabled, SettingKind::Integer, 0, ""},
    {kToleranceHours, SettingKind::String, 0, ""},
    {kToleranceMinutes, SettingKind::String, 0, ""},
    {kUseLogfile, SettingKind::Integer, 0, ""},
    {kLogfileDir, SettingKind::String, 0, ""},
    {kDevice, SettingKind::String, 0, ""},
    {kTZIndex, SettingKind::Integer, 0, ""},
    {kBiasInMinutes, SettingKind::Integer, 0, ""},
    {kTimeZoneId, SettingKind::String, 0, ""},
    {kUsePhotoTimeZone, SettingKind::Integer, 1, ""},
    {kFollowDaylightSaving, SettingKind::Integer, 0, ""},
    {kClockCorrectionSeconds, SettingKind::Integer, 0, ""},
    {kReplaceRecordedPositions, SettingKind::Integer, 1, ""},
    {kRawSidecars, SettingKind::Integer, 1, ""},
};
