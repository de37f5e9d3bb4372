// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tagging engine: a run in two steps. It loads the track, plans where each photo of the hot
// folders goes (RunPlan), then writes that plan (PlanWriter). It knows nothing of the one who
// started it beyond its events.

#include <atomic>
#include <cstddef>

#include "durable/ReplacementBatch.h"
#include "durable/TemporaryFile.h"
#include "run/PlanWriter.h"
#include "run/RunPlan.h"
#include "run/TaggingRunner.h"
#include "track/TrackLog.h"

class TaggingEngine : public TaggingRunner {
public:
    TaggingEngine();
    TaggingEngine(const TaggingEngine&) = delete;
    TaggingEngine& operator=(const TaggingEngine&) = delete;

    // The points a run matches against: loaded by a pass, kept until the next.
    TrackLog& Track() { return m_TrackLog; }
    const TrackLog& Track() const { return m_TrackLog; }

    void SetBatchLimits(BatchLimits limits) { m_WriteSettings.batchLimits = limits; }
    // Faults injected into every write (see WriteFaults); tests only.
    void SetWriteFaultHook(WriteFaults::Hook hook) { m_WriteFaults.SetHook(std::move(hook)); }
    // How many threads make new files; with 0 the run makes each one itself.
    void SetWriteThreads(size_t count) { m_WriteSettings.writeThreads = count; }

    // The track emptied and loaded from the inputs' GPX path (a file, or a folder of tracks),
    // the plan made, then written, hot folder by hot folder. Every pass's summary is also its
    // last log line, at level Info. A stop request skips the photos not yet begun.
    void RunTaggingPass(TaggingRunEvents& events, const TaggingRunInputs& inputs) override;
    void RequestStop() override { m_StopRequested = true; }
    void ClearStopRequest() override { m_StopRequested = false; }

    // The plan of `inputs` against the track held: listed (ListPlan), then read and placed.
    RunPlan Plan(const TaggingRunInputs& inputs, RunSummary& summary, TaggingRunEvents* events);
    // Reads the photos of a listed plan and places them against the track held, counting into
    // `summary` and reporting to `events`, when given, as the photos are read.
    void ReadAndPlace(RunPlan& plan, const TaggingRunInputs& inputs, RunSummary& summary,
                      TaggingRunEvents* events);
    // Writes `plan` (made with `inputs`), counting into `summary`.
    void Write(const RunPlan& plan, const TaggingRunInputs& inputs, RunSummary& summary,
               TaggingRunEvents* events);

private:
    void LoadPlanWrite(TaggingRunEvents& events, const TaggingRunInputs& inputs,
                       RunSummary& summary);

    TrackLog m_TrackLog;
    WriteFaults m_WriteFaults;
    WriteSettings m_WriteSettings;
    std::atomic<bool> m_StopRequested{false};
};
