// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PreviewReading.h"

#include <QMetaObject>
#include <chrono>

namespace {

constexpr size_t kBatch = 64;
constexpr auto kBatchTime = std::chrono::milliseconds(100);

}  // namespace

PreviewReading::PreviewReading(QObject* receiver, const TaggingRunInputs& inputs,
                               PreviewDelivery delivery)
    : m_Receiver(receiver), m_Delivery(std::move(delivery)) {
    m_Thread = std::thread([this, inputs] { Read(inputs); });
}

PreviewReading::~PreviewReading() {
    m_Stop = true;
    if (m_Thread.joinable()) {
        m_Thread.join();
    }
}

void PreviewReading::Post(std::function<void()> work) {
    QMetaObject::invokeMethod(m_Receiver, std::move(work), Qt::QueuedConnection);
}

void PreviewReading::Read(TaggingRunInputs inputs) {
    auto track = std::make_shared<TrackLog>();
    TrackReadOptions options;
    options.stop = &m_Stop;
    const TrackLoadReport report = LoadTrackLog(inputs.gpxPath, *track, options);
    Post([d = m_Delivery, track, report] { d.track(track, report); });
    RunPlan plan = ListPlan(inputs);
    Post([d = m_Delivery, plan] { d.listed(plan); });
    std::vector<std::pair<size_t, PlannedPhoto>> batch;
    auto sent = std::chrono::steady_clock::now();
    size_t index = 0;
    for (PlannedFolder& folder : plan.folders) {
        for (PlannedPhoto& photo : folder.photos) {
            if (m_Stop) {
                return;
            }
            photo.readStatus = ReadPhotoFacts(photo.file, photo.facts);
            photo.read = true;
            batch.emplace_back(index++, photo);
            if (batch.size() == kBatch || std::chrono::steady_clock::now() - sent > kBatchTime) {
                Post([d = m_Delivery, batch = std::move(batch)]() mutable {
                    d.read(std::move(batch));
                });
                batch.clear();
                sent = std::chrono::steady_clock::now();
            }
        }
    }
    Post([d = m_Delivery, batch = std::move(batch)]() mutable {
        d.read(std::move(batch));
        d.done();
    });
}
