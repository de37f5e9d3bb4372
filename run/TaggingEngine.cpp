// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/TaggingEngine.h"

#include <exception>

#include "platform/Log.h"
#include "track/load/TrackLoad.h"

namespace {

constexpr uint64_t kReadsPerProgress = 64;

}  // namespace

TaggingEngine::TaggingEngine() {
    InitialiseImageLibrary();
    m_WriteSettings.faults = &m_WriteFaults;
}

void TaggingEngine::RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs) {
    events.RunStarted();
    RunSummary summary;
    summary.toleranceMinutes = inputs.tolerance / kFileTimeUnitsPerMinute;
    summary.logWritten = Log::Instance().IsWritten(Error);
    summary.interpolated = inputs.interpolate;
    summary.dryRun = inputs.dryRun;
    try {
        LoadPlanWrite(events, inputs, summary);
    } catch (const std::exception& e) {
        summary.failed = true;
        Log::Instance().WriteAndTrace(Error, std::string("Tagging run failed: ") + e.what());
    } catch (...) {
        summary.failed = true;
        Log::Instance().WriteAndTrace(Error, "Tagging run failed");
    }
    Log::Instance().Write(Info, RunSummaryText(summary));
    events.RunFinished(summary);
}

void TaggingEngine::LoadPlanWrite(TaggingRunEvents& events, const TaggingRunInputs& inputs,
                                  RunSummary& summary) {
    events.RunProgressed(summary);
    m_TrackLog.Empty();
    TrackReadOptions options;
    options.stop = &m_StopRequested;
    options.cameraZone = {inputs.biasInMinutes, inputs.clock.zoneId,
                          inputs.clock.followDaylightSaving};
    const TrackLoadReport track = LoadTrackLog(inputs.gpxPath, m_TrackLog, options);
    summary.gpxPoints = track.points;
    summary.gpxProblem = track.status.message();
    summary.gpxStopped = track.status.code() == StatusCode::Stopped;
    summary.gpxFiles = track.files;
    summary.gpxFilesFailed = track.failedFiles;
    summary.gpxFormat = track.format;
    for (const TrackKindCount& kind : track.kinds) {
        summary.gpxKinds.emplace_back(kind.format, kind.files);
    }
    if (m_StopRequested) {
        summary.stopped = true;
        summary.photosListed = true;
        events.RunProgressed(summary);
        return;
    }
    const RunPlan plan = Plan(inputs, summary, &events);
    Write(plan, inputs, summary, &events);
}

RunPlan TaggingEngine::Plan(const TaggingRunInputs& inputs, RunSummary& summary,
                            TaggingRunEvents* events) {
    RunPlan plan = ListPlan(inputs);
    for (const PlannedFolder& folder : plan.folders) {
        summary.foldersUnread += folder.listed.ok() ? 0 : 1;
    }
    summary.folders = static_cast<int>(plan.folders.size());
    summary.photos = plan.PhotoCount();
    summary.photosListed = true;
    if (events != nullptr) {
        events->RunProgressed(summary);
    }
    ReadAndPlace(plan, inputs, summary, events);
    return plan;
}

void TaggingEngine::ReadAndPlace(RunPlan& plan, const TaggingRunInputs& inputs, RunSummary& summary,
                                 TaggingRunEvents* events) {
    summary.reading = true;
    ReadPlan(plan, m_StopRequested, [&summary, events] {
        // Every so many photos, so that a large folder shows its reading without a stream of
        // events for a small one.
        if (++summary.read % kReadsPerProgress == 0 && events != nullptr) {
            events->RunProgressed(summary);
        }
    });
    summary.reading = false;
    TrackMatcher matcher(m_TrackLog);
    PlacePlan(plan, inputs, matcher);
}

void TaggingEngine::Write(const RunPlan& plan, const TaggingRunInputs& inputs, RunSummary& summary,
                          TaggingRunEvents* events) {
    TrackMatcher matcher(m_TrackLog);
    PlanWriter writer(inputs, matcher, m_WriteSettings, m_StopRequested);
    for (const PlannedFolder& folder : plan.folders) {
        if (m_StopRequested) {
            summary.stopped = true;
            break;
        }
        writer.ProcessHotFolder(folder, summary, events);
    }
}

std::unique_ptr<TaggingRunner> MakeTaggingEngine() {
    return std::make_unique<TaggingEngine>();
}
