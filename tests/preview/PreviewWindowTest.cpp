// SPDX-License-Identifier: GPL-3.0-or-later
// The map preview: the photos where a dry run puts them, placed again at every change of the
// clock without reading a photo again, the list beside the map, and what the user chooses.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <filesystem>
#include <map>

#include "PreviewFixture.h"
#include "map/MapView.h"
#include "run/TaggingEngine.h"

namespace {

// The positions a dry run gives, by file name.
class DryRunRecorder : public TaggingRunEvents {
public:
    void RunStarted() override {}
    void RunProgressed(const RunSummary&) override {}
    void RunFinished(const RunSummary&) override {}
    void PhotoFinished(const PhotoReport& photo) override {
        if (photo.match) {
            placed[std::filesystem::path(photo.path).filename().string()] = photo.match->position;
        }
    }
    std::map<std::string, GeoPosition> placed;
};

std::map<std::string, const PlannedPhoto*> ByName(const PreviewWindow& window) {
    std::map<std::string, const PlannedPhoto*> photos;
    for (const PlannedPhoto& photo : window.Photos()) {
        photos[std::filesystem::path(photo.file.path).filename().string()] = &photo;
    }
    return photos;
}

std::optional<GeoPosition> PlacedAt(const PreviewWindow& window, const std::string& name) {
    const PlannedPhoto* photo = ByName(window).at(name);
    if (photo->placement.outcome != PhotoOutcome::Tag || !photo->placement.match) {
        return std::nullopt;
    }
    return photo->placement.match->position;
}

std::vector<std::string> Sentences(QWidget& window) {
    QAbstractItemModel* model = window.findChild<QTableView*>()->model();
    std::vector<std::string> sentences;
    for (int row = 0; row < model->rowCount(); ++row) {
        sentences.push_back(
            model->index(row, 0).data(Qt::AccessibleTextRole).toString().toStdString());
    }
    return sentences;
}

TEST_F(PreviewTest, EveryPhotoIsShownWhereADryRunPutsItAndTheRestAreListedWithTheReason) {
    for (const bool interpolate : {true, false}) {
        SCOPED_TRACE(interpolate ? "between points" : "nearest point");
        auto window = Open(Request(interpolate));
        TaggingEngine engine;
        DryRunRecorder run;
        TaggingRunInputs inputs = Request(interpolate).inputs;
        inputs.dryRun = true;
        engine.RunTaggingPass(run, inputs);
        ASSERT_EQ(run.placed.size(), 3u);
        for (const auto& [name, position] : run.placed) {
            const std::optional<GeoPosition> shown = PlacedAt(*window, name);
            ASSERT_TRUE(shown) << name;
            EXPECT_DOUBLE_EQ(shown->latitude, position.latitude) << name;
            EXPECT_DOUBLE_EQ(shown->longitude, position.longitude) << name;
        }
        EXPECT_EQ(window->Map().accessibleDescription().toStdString(),
                  "3 photos on 2 track segments; 2 not placed");
        const std::vector<std::string> sentences = Sentences(*window);
        ASSERT_EQ(sentences.size(), 5u);
        // In time order; a photo without a time last.
        EXPECT_EQ(
            sentences[0],
            interpolate
                ? "c-too-early.jpg, 11:00:00, not placed: 1 h 0 min 0 s before the track starts"
                : "c-too-early.jpg, 11:00:00, not placed: no track point within 0 h 5 min");
        EXPECT_EQ(sentences[1], interpolate
                                    ? "a-on-a-fix.jpg, 12:10:00, exact, 0 s from the track"
                                    : "a-on-a-fix.jpg, 12:10:00, nearest, 0 s from the track");
        EXPECT_EQ(sentences[2], interpolate
                                    ? "b-between.jpg, 12:20:30, interpolated, 30 s from the track"
                                    : "b-between.jpg, 12:20:30, nearest, 30 s from the track");
        EXPECT_EQ(sentences[3].rfind("e-second-segment.jpg, 14:05:00, ", 0), 0u) << sentences[3];
        EXPECT_EQ(sentences[4].rfind("d-not-a-photo.jpg, cannot be read: ", 0), 0u) << sentences[4];
    }
}

TEST_F(PreviewTest, EveryChangeOfTheClockPlacesThePhotosAgainWithoutReadingThem) {
    auto window = Open(Request());
    // Gone from the disk: a change can only use what was read once.
    std::filesystem::remove_all(m_Photos);
    EXPECT_DOUBLE_EQ(PlacedAt(*window, "a-on-a-fix.jpg")->longitude, 14.010);

    window->CorrectionControl().setValue(120);  // the camera was two minutes fast
    EXPECT_DOUBLE_EQ(PlacedAt(*window, "a-on-a-fix.jpg")->longitude, 14.008);
    EXPECT_NEAR(PlacedAt(*window, "b-between.jpg")->longitude, 14.0185, 1e-9);
    const QPointF marker = window->Map().PointOf(*PlacedAt(*window, "a-on-a-fix.jpg"));
    EXPECT_TRUE(QRectF(window->Map().rect()).contains(marker));

    for (QCheckBox* check : window->findChildren<QCheckBox*>()) {
        if (check->text() == "Place photos between track points") {
            check->setChecked(false);
        }
    }
    EXPECT_DOUBLE_EQ(PlacedAt(*window, "b-between.jpg")->longitude, 14.018);  // 12:18:30 nearest

    // The camera an hour slow: only the photo taken "before" the track lies on it.
    window->CorrectionControl().setValue(-3600);
    EXPECT_DOUBLE_EQ(PlacedAt(*window, "c-too-early.jpg")->longitude, 14.0);
    EXPECT_EQ(window->Map().accessibleDescription(), "1 photo on 2 track segments; 4 not placed");
}

TEST_F(PreviewTest, ARowAndAMarkerSelectEachOtherAndTheThumbnailShows) {
    CopyFile(SamplePath("jpg/Canon_40D.jpg"), m_Photos + "/f-with-thumbnail.jpg");
    auto window = Open(Request());
    window->show();
    QTableView* list = window->findChild<QTableView*>();
    const auto rowOf = [&](const QString& name) {
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            if (list->model()->index(row, 0).data().toString() == name) {
                return row;
            }
        }
        return -1;
    };
    list->selectRow(rowOf("e-second-segment.jpg"));
    MapView& map = window->Map();
    const QPointF centre(map.width() / 2.0, map.height() / 2.0);
    const QPointF marker = map.PointOf(*PlacedAt(*window, "e-second-segment.jpg"));
    EXPECT_NEAR(marker.x(), centre.x(), 0.5);
    EXPECT_NEAR(marker.y(), centre.y(), 0.5);

    QPointF other = map.PointOf(*PlacedAt(*window, "a-on-a-fix.jpg"));
    while (!QRectF(map.rect()).contains(other) && map.Zoom() > 1) {
        QTest::keyClick(&map, Qt::Key_Minus);
        other = map.PointOf(*PlacedAt(*window, "a-on-a-fix.jpg"));
    }
    QMouseEvent move(QEvent::MouseMove, other, map.mapToGlobal(other), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&map, &move);
    EXPECT_EQ(list->currentIndex().row(), rowOf("a-on-a-fix.jpg"));

    QLabel* thumbnail = nullptr;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->accessibleName() == "Thumbnail of the selected photo") {
            thumbnail = label;
        }
    }
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_TRUE(thumbnail->pixmap().isNull());
    list->selectRow(rowOf("f-with-thumbnail.jpg"));
    EXPECT_FALSE(thumbnail->pixmap().isNull());
}

TEST_F(PreviewTest, TheButtonsSayWhatTheUserChoseAndClosingDiscardsIt) {
    using Result = PreviewWindow::Result;
    const std::pair<QString, Result> buttons[] = {{"Use these settings", Result::UseSettings},
                                                  {"Tag now", Result::TagNow},
                                                  {"Close", Result::Closed}};
    for (const auto& [text, result] : buttons) {
        SCOPED_TRACE(text.toStdString());
        auto window = Open(Request());
        QTimer::singleShot(0, window.get(), [&window, text = text] {
            window->CorrectionControl().setValue(-75);
            Button(*window, text)->click();
        });
        EXPECT_EQ(window->Exec(), result);
        const PreviewChoice choice = window->Choice();
        EXPECT_EQ(choice.correctionSeconds, -75);
        EXPECT_TRUE(choice.interpolate);
        EXPECT_FALSE(choice.usePhotoTimeZone);
    }
}

TEST_F(PreviewTest, TheClockIsSetFromAPhotoOfAClock) {
    PreviewRequest request = Request();
    request.clockPhoto.choosePhoto = [](QWidget*) {
        return std::optional<std::string>("clock.jpg");
    };
    request.clockPhoto.readCaptureTime = [](const std::string&) {
        return std::optional<std::string>("2020:06:01 12:31:00");
    };
    request.clockPhoto.askTrueTime = [](QWidget*, const std::string&) {
        return std::optional<std::string>("2020:06:01 12:30:00");
    };
    auto window = Open(std::move(request));
    Button(*window, "Set from a photo...")->click();
    EXPECT_EQ(window->CorrectionControl().value(), 60);
    EXPECT_DOUBLE_EQ(PlacedAt(*window, "a-on-a-fix.jpg")->longitude, 14.009);
}

TEST_F(PreviewTest, ClosingWhileStillReadingEndsTheReaderAtOnce) {
    for (int i = 0; i < 300; ++i) {
        Photo(FormatC(40, "many-%03d.jpg", i), "2020:06:01 12:30:00");
    }
    for (int round = 0; round < 3; ++round) {
        auto window = std::make_unique<PreviewWindow>(Request());
        window->show();
        QTest::qWait(round * 20);
        window.reset();  // joins the reader; nothing it posted reaches the window afterwards
    }
    QTest::qWait(50);
}

}  // namespace
