// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads what a preview shows on a thread of its own: the track, the listing, then each photo's
// header, handed over to the GUI thread as they come. Reads nothing twice and writes nothing.

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "run/RunInputs.h"
#include "run/RunPlan.h"
#include "track/TrackLog.h"
#include "track/load/TrackLoad.h"

struct PreviewDelivery {
    // The track once loaded; the listing (every photo unread); photos read, by their place in
    // the listing's order; the end.
    std::function<void(std::shared_ptr<const TrackLog>, const TrackLoadReport&)> track;
    std::function<void(const RunPlan&)> listed;
    std::function<void(std::vector<std::pair<size_t, PlannedPhoto>>)> read;
    std::function<void()> done;
};

class PreviewReading {
public:
    // Starts reading for `inputs`; `delivery`'s calls run on `receiver`'s thread, and none after
    // `receiver` is gone.
    PreviewReading(QObject* receiver, const TaggingRunInputs& inputs, PreviewDelivery delivery);
    // Asks the reading to stop and waits for it.
    ~PreviewReading();
    PreviewReading(const PreviewReading&) = delete;
    PreviewReading& operator=(const PreviewReading&) = delete;

private:
    void Read(TaggingRunInputs inputs);
    void Post(std::function<void()> work);

    QObject* m_Receiver;
    PreviewDelivery m_Delivery;
    std::atomic<bool> m_Stop{false};
    std::thread m_Thread;
};
