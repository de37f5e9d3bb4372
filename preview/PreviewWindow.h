// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map preview: the track and every photo where a run would put it, the photos in time order
// beside the map, and the camera clock's settings to change. Every change places all photos
// again at once, reading none again. It never writes a photo. GUI thread only.

#include <QWidget>
#include <memory>
#include <vector>

#include "match/TimestampMatcher.h"
#include "preview/PhotoTable.h"
#include "preview/PreviewReading.h"
#include "preview/PreviewRequest.h"

class MapView;
class QCheckBox;
class QComboBox;
class QEventLoop;
class QLabel;
class QSlider;
class QSpinBox;
class QTableView;

class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    enum class Result { Closed, UseSettings, TagNow };

    explicit PreviewWindow(PreviewRequest request, QWidget* parent = nullptr);
    ~PreviewWindow() override;

    // Shows the window and waits until it is closed; Choice() then holds the settings.
    Result Exec();
    PreviewChoice Choice() const;

    // For tests and measurements: the inputs the controls give now, the photos placed, how long
    // the last placing took, and whether every photo has been read.
    TaggingRunInputs CurrentInputs() const;
    const std::vector<PlannedPhoto>& Photos() const { return m_Photos; }
    double LastPlacingMilliseconds() const { return m_LastPlacingMs; }
    bool AllRead() const { return m_AllRead; }
    MapView& Map() { return *m_Map; }
    QSpinBox& CorrectionControl() { return *m_Correction; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildPlacementControls();
    void TakeTrack(std::shared_ptr<const TrackLog> track, const TrackLoadReport& report);
    void TakeListing(const RunPlan& plan);
    void TakeRead(std::vector<std::pair<size_t, PlannedPhoto>> photos);
    // Places every read photo with the controls' settings, and shows where.
    void PlaceAll();
    void ShowPlacement();
    void SelectPhoto(size_t photo);
    void ShowThumbnail(size_t photo);
    void SetClockFromPhoto();
    void Finish(Result result);

    PreviewRequest m_Request;
    std::shared_ptr<const TrackLog> m_Track;
    std::unique_ptr<TrackMatcher> m_Matcher;
    std::vector<PlannedPhoto> m_Photos;  // in the listing's order
    std::vector<size_t> m_MarkerPhotos;  // the photo of each marker
    int m_Segments = 0;
    bool m_AllRead = false;
    double m_LastPlacingMs = 0.0;
    Result m_Result = Result::Closed;
    QEventLoop* m_Loop = nullptr;

    MapView* m_Map = nullptr;
    QTableView* m_List = nullptr;
    PhotoTableModel* m_Model = nullptr;
    QLabel* m_Thumbnail = nullptr;
    QLabel* m_Status = nullptr;
    QSpinBox* m_Correction = nullptr;
    QSlider* m_CorrectionSlider = nullptr;
    QComboBox* m_Zone = nullptr;
    QCheckBox* m_SummerTime = nullptr;
    QCheckBox* m_PhotoOffset = nullptr;
    QCheckBox* m_Interpolate = nullptr;
    QSpinBox* m_Gap = nullptr;
    std::unique_ptr<PreviewReading> m_Reading;  // last: it ends before what it delivers to
};
