// SPDX-License-Identifier: GPL-3.0-or-later
// Times the map preview on 1,000 photos and a 100,000-point track, side by side in one run:
//  - opening it until every photo is placed, beside a dry run of the same photos;
//  - placing every photo again at a change of the camera clock, with the map's repaint;
//  - the map's frames a second while panned and zoomed.
//
//   preview_bench [--photos N] [--points N] [--rounds N]
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QApplication>
#include <QKeyEvent>
#include <QSpinBox>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchFiles.h"
#include "BenchPhotos.h"
#include "map/MapView.h"
#include "platform/FileTime.h"
#include "preview/PreviewWindow.h"
#include "run/TaggingEngine.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

class QuietEvents : public TaggingRunEvents {
public:
    void RunStarted() override {}
    void RunProgressed(const RunSummary&) override {}
    void RunFinished(const RunSummary& summary) override { placed = summary.tagged; }
    uint64_t placed = 0;
};

TaggingRunInputs Inputs(const std::string& gpx, const std::string& photos) {
    TaggingRunInputs inputs;
    inputs.gpxPath = gpx;
    inputs.hotFolders[0] = photos;
    inputs.hotFolderOn[0] = true;
    inputs.tolerance = 5 * kFileTimeUnitsPerMinute;
    inputs.clock.zoneId = "UTC";
    inputs.clock.usePhotoTimeZone = false;
    inputs.interpolate = true;
    return inputs;
}

double DryRunMilliseconds(const TaggingRunInputs& inputs, uint64_t& placed) {
    TaggingRunInputs dry = inputs;
    dry.dryRun = true;
    TaggingEngine engine;
    QuietEvents events;
    const Clock::time_point start = Clock::now();
    engine.RunTaggingPass(events, dry);
    const double ms = Milliseconds(start);
    placed = events.placed;
    return ms;
}

struct Opening {
    double listedMs = 0;  // every photo's row in the list, before its header is read
    double placedMs = 0;  // every photo read and placed, the map painted
};

Opening OpenPreview(const TaggingRunInputs& inputs, std::unique_ptr<PreviewWindow>& window) {
    PreviewRequest request;
    request.inputs = inputs;
    request.tiles.urlTemplate.clear();  // no tiles: the graticule
    Opening opening;
    const Clock::time_point start = Clock::now();
    window = std::make_unique<PreviewWindow>(request);
    window->resize(1100, 700);
    window->show();
    while (!window->AllRead()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (opening.listedMs == 0 && !window->Photos().empty()) {
            opening.listedMs = Milliseconds(start);
        }
    }
    window->Map().repaint();
    opening.placedMs = Milliseconds(start);
    return opening;
}

// Each change of the correction: every photo placed again and the map repainted.
std::vector<double> ReplacingMilliseconds(PreviewWindow& window, int changes) {
    std::vector<double> times;
    for (int i = 1; i <= changes; ++i) {
        const Clock::time_point start = Clock::now();
        window.CorrectionControl().setValue((i % 2 == 0 ? 1 : -1) * 7 * i);
        window.Map().repaint();
        times.push_back(Milliseconds(start));
    }
    return times;
}

// Frames a second of the map moved by `key` `frames` times, each frame painted at once.
double FramesPerSecond(MapView& map, Qt::Key key, int frames) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < frames; ++i) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&map, &press);
        map.repaint();
    }
    return frames / (Milliseconds(start) / 1000.0);
}

void ReportFrames(MapView& map) {
    map.FitToContent();
    std::printf("  map %dx%d, fitted at zoom %d\n", map.width(), map.height(), map.Zoom());
    for (const int zoomIn : {0, 3, 6}) {
        map.FitToContent();
        for (int i = 0; i < zoomIn; ++i) {
            QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::NoModifier);
            QApplication::sendEvent(&map, &plus);
        }
        const int zoom = map.Zoom();
        const double pan = std::min(FramesPerSecond(map, Qt::Key_Right, 60),
                                    FramesPerSecond(map, Qt::Key_Left, 60));
        std::printf("  zoom %2d: panning %6.0f frames/s\n", zoom, pan);
    }
    map.FitToContent();
    std::vector<double> zooming;
    for (int round = 0; round < 10; ++round) {
        zooming.push_back(FramesPerSecond(map, Qt::Key_Plus, 6));
        zooming.push_back(FramesPerSecond(map, Qt::Key_Minus, 6));
    }
    std::printf("  zooming in and out: %6.0f frames/s (median of 20 runs of 6 steps)\n",
                Median(zooming));
}

int Argument(int argc, char** argv, const char* name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) {
            return std::atoi(argv[i + 1]);
        }
    }
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const int photos = Argument(argc, argv, "--photos", 1000);
    const int points = Argument(argc, argv, "--points", 100000);
    const int rounds = Argument(argc, argv, "--rounds", 5);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    const std::string root = MakeTempFolder("fenrik-preview-bench");
    const std::string gpx = root + "/track.gpx";
    WriteGeneratedGpx(gpx, points, kBenchDayStart);
    const std::string folder = root + "/photos";
    // Spread over the track, between its points (taken at :30 past, the fixes on the second).
    const int spacing = std::max(1, points / photos);
    MakePhotoFolder(folder, MakeTemplateJpeg(root + "/template.jpg", 800, 600), photos, spacing);
    const TaggingRunInputs inputs = Inputs(gpx, folder);
    std::printf("%d photos (800x600) every %d s along a track of %d points\n", photos, spacing,
                points);

    std::vector<double> dry, listed, placed;
    uint64_t dryPlaced = 0;
    std::unique_ptr<PreviewWindow> window;
    for (int round = 0; round < rounds; ++round) {  // interleaved: the same cache for both
        dry.push_back(DryRunMilliseconds(inputs, dryPlaced));
        window.reset();
        const Opening opening = OpenPreview(inputs, window);
        listed.push_back(opening.listedMs);
        placed.push_back(opening.placedMs);
    }
    std::printf("Opening, median of %d interleaved rounds:\n", rounds);
    std::printf("  dry run (--dry-run)           %8.1f ms  (%llu photos placed)\n", Median(dry),
                static_cast<unsigned long long>(dryPlaced));
    std::printf("  preview, every photo listed   %8.1f ms\n", Median(listed));
    std::printf("  preview, every photo placed   %8.1f ms  (dry run + %.1f ms)\n", Median(placed),
                Median(placed) - Median(dry));

    const std::vector<double> replacing = ReplacingMilliseconds(*window, 40);
    std::printf("A change of the camera clock, %zu photos placed again and the map repainted:\n",
                window->Photos().size());
    std::printf("  median %.1f ms, slowest %.1f ms of %zu changes (placing alone: %.1f ms)\n",
                Median(replacing), *std::max_element(replacing.begin(), replacing.end()),
                replacing.size(), window->LastPlacingMilliseconds());

    std::printf("The map with the track and the markers:\n");
    ReportFrames(window->Map());
    window.reset();
    RemoveFolder(root);
    return 0;
}
