// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RunSettings.h"

#include <algorithm>

#include "match/TimestampMatcher.h"
#include "platform/Log.h"
#include "platform/PathText.h"

TaggingRunInputs RunInputsFrom(const LiveSettings& settings) {
    TaggingRunInputs inputs;
    inputs.gpxPath = settings.m_Device;
    for (int n = 1; n <= 4; ++n) {
        inputs.hotFolders[static_cast<size_t>(n - 1)] = settings.HotFolder(n);
    }
    inputs.tolerance = ToleranceUnits(settings.m_ToleranceHours, settings.m_ToleranceMinutes);
    inputs.biasInMinutes = settings.m_BiasInMinutes;
    inputs.clock.usePhotoTimeZone = settings.m_UsePhotoTimeZone != 0;
    inputs.clock.followDaylightSaving = settings.m_FollowDaylightSaving != 0;
    inputs.clock.correctionSeconds = settings.m_ClockCorrectionSeconds;
    inputs.clock.zoneId = settings.m_TimeZoneId;
    inputs.replaceRecordedPositions = settings.m_ReplaceRecordedPositions != 0;
    inputs.rawSidecars = settings.m_RawSidecars != 0;
    inputs.interpolate = settings.m_InterpolatePositions != 0;
    // A gap below a second would place nothing between points; none is stored so by the program.
    inputs.maxGap =
        int64_t{std::max(settings.m_MaxInterpolationGapSeconds, 1)} * kFileTimeUnitsPerSecond;
    inputs.useLogfile = settings.m_UseLogfile != 0;
    inputs.logfileDir = settings.m_LogfileDir;
    return inputs;
}

Status OpenRunLog(const TaggingRunInputs& inputs) {
    if (!inputs.useLogfile) {
        return Status::Ok();
    }
    Status checked = CheckLogFolder(inputs.logfileDir);
    if (!checked.ok()) {
        return checked;
    }
    const Status opened = Log::Instance().Open(Debug, JoinPath(inputs.logfileDir, "fenrik.log"));
    if (!opened.ok()) {
        return Status::Refused("the log cannot be written in " + inputs.logfileDir + ": " +
                               opened.message());
    }
    Log::Instance().Write(Debug, "Starting Log");
    return opened;
}
