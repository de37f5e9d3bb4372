// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PreviewLaunch.h"

#include <QStandardPaths>
#include <algorithm>

#include "app/ProductLinks.h"
#include "app/RunSettings.h"
#include "config/ClockFromPhoto.h"
#include "photo/ExifDate.h"
#include "settings/ProfileStore.h"
#include "settings/SettingKeys.h"

namespace {

int32_t ZoneIndexNamed(const TimeZoneCatalogue& zones, const std::string& name) {
    for (const TimeZoneEntry& entry : zones) {
        if (!name.empty() && entry.Std == name) {
            return entry.Index;
        }
    }
    return -1;
}

}  // namespace

PreviewOutcome ShowPreviewWindow(QWidget* parent, PreviewRequest request) {
    PreviewWindow window(std::move(request), parent);
    PreviewOutcome outcome;
    outcome.result = window.Exec();
    outcome.choice = window.Choice();
    return outcome;
}

TileServer TileServerFrom(const ProfileStore& profile) {
    TileServer server;
    server.urlTemplate = QString::fromStdString(
        profile.GetProfileString(kSettingsSection, kMapTileUrl, kDefaultMapTileUrl));
    server.userAgent = QStringLiteral("Fenrik/" FENRIK_VERSION " (+") +
                       QLatin1String(kHomePageUrl) + QLatin1Char(')');
    server.cacheFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
        QStringLiteral("/%1/%2/tiles")
            .arg(QLatin1String(kCompanyName), QString::fromStdString(ExecutableBaseName()));
    const int megabytes =
        profile.GetProfileInt(kSettingsSection, kMapCacheMegabytes, kDefaultMapCacheMegabytes);
    server.cacheBytes = int64_t{std::max(1, megabytes)} * 1024 * 1024;
    return server;
}

PreviewRequest PreviewRequestFor(const LiveSettings& settings,
                                 const std::array<bool, 4>& hotFolderOn,
                                 const ProfileStore& profile, const TimeZoneCatalogue& zones,
                                 int32_t zoneIndex) {
    PreviewRequest request;
    request.inputs = RunInputsFrom(settings);
    request.inputs.hotFolderOn = hotFolderOn;
    request.inputs.useLogfile = false;  // the preview writes nothing, not even a log
    request.zones = &zones;
    request.zoneIndex = zoneIndex >= 0 ? zoneIndex : ZoneIndexNamed(zones, settings.m_TimeZoneId);
    request.tiles = TileServerFrom(profile);
    request.attribution = QString::fromStdString(
        profile.GetProfileString(kSettingsSection, kMapAttribution, kDefaultMapAttribution));
    request.clockPhoto = {ChooseClockPhoto, ReadCaptureTimeText, AskTrueTime};
    return request;
}

void ApplyPreviewChoice(const PreviewChoice& choice, const TimeZoneCatalogue& zones,
                        LiveSettings& settings) {
    settings.m_ClockCorrectionSeconds = choice.correctionSeconds;
    settings.m_FollowDaylightSaving = choice.followDaylightSaving ? 1 : 0;
    settings.m_UsePhotoTimeZone = choice.usePhotoTimeZone ? 1 : 0;
    settings.m_InterpolatePositions = choice.interpolate ? 1 : 0;
    settings.m_MaxInterpolationGapSeconds = choice.maxGapSeconds;
    if (const TimeZoneEntry* entry = zones.FindTimeZoneByIndex(choice.zoneIndex)) {
        settings.m_TimeZoneId = entry->Std;
        settings.m_BiasInMinutes = entry->Bias;
    }
}

void StorePreviewChoice(const PreviewChoice& choice, const TimeZoneCatalogue& zones,
                        ProfileStore& profile) {
    profile.WriteProfileInt(kSettingsSection, kClockCorrectionSeconds, choice.correctionSeconds);
    profile.WriteProfileInt(kSettingsSection, kFollowDaylightSaving,
                            choice.followDaylightSaving ? 1 : 0);
    profile.WriteProfileInt(kSettingsSection, kUsePhotoTimeZone, choice.usePhotoTimeZone ? 1 : 0);
    profile.WriteProfileInt(kSettingsSection, kInterpolatePositions, choice.interpolate ? 1 : 0);
    profile.WriteProfileInt(kSettingsSection, kMaxInterpolationGapSeconds, choice.maxGapSeconds);
    if (const TimeZoneEntry* entry = zones.FindTimeZoneByIndex(choice.zoneIndex)) {
        profile.WriteProfileInt(kSettingsSection, kTZIndex, entry->Index);
        profile.WriteProfileString(kSettingsSection, kTimeZoneId, entry->Std);
        profile.WriteProfileInt(kSettingsSection, kBiasInMinutes, entry->Bias);
    }
}
