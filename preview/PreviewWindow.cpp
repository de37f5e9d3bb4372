// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PreviewWindow.h"

#include <QAccessibleWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <map>

#include "map/MapView.h"
#include "photo/ExifThumbnail.h"
#include "run/RunSummary.h"

namespace {

constexpr int kLargestCorrection = 12 * 3600;

QColor ColourOf(PlacementMethod method) {
    return method == PlacementMethod::Exact          ? QColor(46, 125, 50)
           : method == PlacementMethod::Interpolated ? QColor(21, 101, 192)
                                                     : QColor(239, 108, 0);
}

// A top-level QWidget reads as a mere filler to a screen reader; the preview is a window.
QAccessibleInterface* AccessibleWindowFor(const QString& className, QObject* object) {
    if (className == QLatin1String("PreviewWindow") && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

QString Counted(uint64_t count, const char* one, const char* many) {
    return QString::fromStdString(GroupedCount(count)) + " " + (count == 1 ? one : many);
}

}  // namespace

PreviewWindow::PreviewWindow(PreviewRequest request, QWidget* parent)
    : QWidget(parent, Qt::Window), m_Request(std::move(request)) {
    static const bool accessibleAsWindow = (QAccessible::installFactory(AccessibleWindowFor), true);
    (void)accessibleAsWindow;
    setWindowTitle(tr("Preview on the map - Fenrik"));
    setAccessibleName(tr("Preview on the map"));
    BuildControls();
    resize(1100, 700);
    PreviewDelivery delivery;
    delivery.track = [this](std::shared_ptr<const TrackLog> track, const TrackLoadReport& report) {
        TakeTrack(std::move(track), report);
    };
    delivery.listed = [this](const RunPlan& plan) { TakeListing(plan); };
    delivery.read = [this](std::vector<std::pair<size_t, PlannedPhoto>> photos) {
        TakeRead(std::move(photos));
    };
    delivery.done = [this] {
        m_AllRead = true;
        ShowPlacement();
    };
    m_Reading = std::make_unique<PreviewReading>(this, m_Request.inputs, std::move(delivery));
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::BuildControls() {
    m_Map = new MapView(m_Request.tiles, m_Request.attribution);
    m_Map->setAccessibleName(tr("Map"));
    m_Model = new PhotoTableModel(this);
    m_List = new QTableView;
    m_List->setModel(m_Model);
    m_List->setAccessibleName(tr("Photos in time order"));
    m_List->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_List->setSelectionMode(QAbstractItemView::SingleSelection);
    m_List->verticalHeader()->hide();
    m_List->verticalHeader()->setDefaultSectionSize(m_List->fontMetrics().height() + 6);
    m_List->setWordWrap(false);
    m_List->horizontalHeader()->setStretchLastSection(true);
    const char* const widest[] = {"IMG_20240105_0042.jpg", "2024-01-05 14:03:12",
                                  "UTC +05:45 (DST)", "interpolated", "1 h 59 min"};
    for (int column = 0; column < 5; ++column) {
        m_List->setColumnWidth(column,
                               m_List->fontMetrics().horizontalAdvance(widest[column]) + 12);
    }
    m_Thumbnail = new QLabel;
    m_Thumbnail->setAccessibleName(tr("Thumbnail of the selected photo"));
    m_Thumbnail->setMinimumHeight(120);
    m_Thumbnail->setAlignment(Qt::AlignCenter);
    m_Thumbnail->setText(tr("Select a photo to see its thumbnail"));
    m_Status = new QLabel(tr("Reading the track..."));
    m_Status->setAccessibleName(tr("Progress"));

    auto* side = new QWidget;
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(m_List, 1);
    sideLayout->addWidget(m_Thumbnail);
    auto* splitter = new QSplitter;
    splitter->addWidget(m_Map);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({600, 480});

    auto* use = new QPushButton(tr("&Use these settings"));
    auto* tag = new QPushButton(tr("&Tag now"));
    auto* close = new QPushButton(tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_Status, 1);
    buttons->addWidget(use);
    buttons->addWidget(tag);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildPlacementControls());
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    connect(use, &QPushButton::clicked, this, [this] { Finish(Result::UseSettings); });
    connect(tag, &QPushButton::clicked, this, [this] { Finish(Result::TagNow); });
    connect(close, &QPushButton::clicked, this, [this] { Finish(Result::Closed); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] { Finish(Result::Closed); });
    connect(m_List->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    SelectPhoto(m_Model->Row(current.row()).photo);
                }
            });
    const auto markerPhoto = [this](int marker) {
        const int row = m_Model->RowOfPhoto(m_MarkerPhotos[static_cast<size_t>(marker)]);
        m_List->selectRow(row);
        m_List->scrollTo(m_Model->index(row, 0));
    };
    connect(m_Map, &MapView::MarkerHovered, this, markerPhoto);
    connect(m_Map, &MapView::MarkerClicked, this, markerPhoto);
}

QWidget* PreviewWindow::BuildPlacementControls() {
    const TaggingRunInputs& inputs = m_Request.inputs;
    m_Correction = new QSpinBox;
    m_Correction->setRange(-kLargestCorrection, kLargestCorrection);
    m_Correction->setValue(static_cast<int>(inputs.clock.correctionSeconds));
    m_Correction->setSuffix(tr(" s"));
    m_Correction->setAccessibleName(tr("Camera clock correction in seconds, positive when fast"));
    m_CorrectionSlider = new QSlider(Qt::Horizontal);
    m_CorrectionSlider->setRange(-kLargestCorrection, kLargestCorrection);
    m_CorrectionSlider->setValue(m_Correction->value());
    m_CorrectionSlider->setAccessibleName(tr("Camera clock correction"));
    auto* fromPhoto = new QPushButton(tr("Set from a photo..."));
    fromPhoto->setEnabled(static_cast<bool>(m_Request.clockPhoto.readCaptureTime));
    m_Zone = new QComboBox;
    m_Zone->setAccessibleName(tr("Camera time zone"));
    if (m_Request.zones != nullptr) {
        for (const TimeZoneEntry& entry : *m_Request.zones) {
            m_Zone->addItem(QString::fromStdString(entry.Display), entry.Index);
        }
        m_Zone->model()->sort(0);
        m_Zone->setCurrentIndex(m_Zone->findData(m_Request.zoneIndex));
    }
    m_SummerTime = new QCheckBox(tr("Follow daylight saving"));
    m_SummerTime->setChecked(inputs.clock.followDaylightSaving);
    m_PhotoOffset = new QCheckBox(tr("Use the time zone the photo records"));
    m_PhotoOffset->setChecked(inputs.clock.usePhotoTimeZone);
    m_Interpolate = new QCheckBox(tr("Place photos between track points"));
    m_Interpolate->setChecked(inputs.interpolate);
    m_Gap = new QSpinBox;
    m_Gap->setRange(1, 24 * 60);
    m_Gap->setValue(static_cast<int>(inputs.maxGap / kFileTimeUnitsPerMinute));
    m_Gap->setSuffix(tr(" min"));
    m_Gap->setAccessibleName(tr("Largest gap between track points to place a photo in"));

    auto* controls = new QWidget;
    auto* grid = new QFormLayout(controls);
    auto* clockRow = new QHBoxLayout;
    clockRow->addWidget(m_Correction);
    clockRow->addWidget(m_CorrectionSlider, 1);
    clockRow->addWidget(fromPhoto);
    // A row's label names its first control to screen readers, and moves the focus to it.
    const auto addRow = [grid](const QString& text, QWidget* buddy, QLayout* row) {
        auto* label = new QLabel(text);
        label->setBuddy(buddy);
        grid->addRow(label, row);
    };
    addRow(tr("Camera &clock correction:"), m_Correction, clockRow);
    auto* zoneRow = new QHBoxLayout;
    zoneRow->addWidget(m_Zone, 1);
    zoneRow->addWidget(m_SummerTime);
    zoneRow->addWidget(m_PhotoOffset);
    addRow(tr("Camera time &zone:"), m_Zone, zoneRow);
    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(m_Interpolate);
    auto* gapLabel = new QLabel(tr("largest &gap:"));
    gapLabel->setBuddy(m_Gap);
    placeRow->addWidget(gapLabel);
    placeRow->addWidget(m_Gap);
    placeRow->addStretch(1);
    addRow(tr("Placement:"), m_Interpolate, placeRow);

    connect(m_Correction, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        m_CorrectionSlider->setValue(value);
        PlaceAll();
    });
    connect(m_CorrectionSlider, &QSlider::valueChanged, m_Correction, &QSpinBox::setValue);
    connect(fromPhoto, &QPushButton::clicked, this, &PreviewWindow::SetClockFromPhoto);
    connect(m_Zone, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] { PlaceAll(); });
    for (QCheckBox* check : {m_SummerTime, m_PhotoOffset, m_Interpolate}) {
        connect(check, &QCheckBox::toggled, this, [this] { PlaceAll(); });
    }
    connect(m_Gap, qOverload<int>(&QSpinBox::valueChanged), this, [this] { PlaceAll(); });
    return controls;
}

TaggingRunInputs PreviewWindow::CurrentInputs() const {
    TaggingRunInputs inputs = m_Request.inputs;
    inputs.clock.correctionSeconds = m_Correction->value();
    inputs.clock.followDaylightSaving = m_SummerTime->isChecked();
    inputs.clock.usePhotoTimeZone = m_PhotoOffset->isChecked();
    inputs.interpolate = m_Interpolate->isChecked();
    inputs.maxGap = int64_t{m_Gap->value()} * kFileTimeUnitsPerMinute;
    if (m_Request.zones != nullptr && m_Zone->currentIndex() >= 0) {
        const TimeZoneEntry* entry =
            m_Request.zones->FindTimeZoneByIndex(m_Zone->currentData().toInt());
        if (entry != nullptr) {
            inputs.biasInMinutes = entry->Bias;
            inputs.clock.zoneId = entry->Std;
        }
    }
    return inputs;
}

PreviewChoice PreviewWindow::Choice() const {
    const TaggingRunInputs inputs = CurrentInputs();
    PreviewChoice choice;
    choice.correctionSeconds = static_cast<int>(inputs.clock.correctionSeconds);
    choice.zoneIndex = m_Zone->currentIndex() >= 0 ? m_Zone->currentData().toInt() : -1;
    choice.followDaylightSaving = inputs.clock.followDaylightSaving;
    choice.usePhotoTimeZone = inputs.clock.usePhotoTimeZone;
    choice.interpolate = inputs.interpolate;
    choice.maxGapSeconds = static_cast<int>(inputs.maxGap / kFileTimeUnitsPerSecond);
    return choice;
}

void PreviewWindow::TakeTrack(std::shared_ptr<const TrackLog> track, const TrackLoadReport&) {
    m_Track = std::move(track);
    m_Matcher = std::make_unique<TrackMatcher>(*m_Track);
    std::map<int32_t, std::vector<GeoPosition>> segments;
    std::vector<GeoPosition> waypoints;
    for (size_t i = 0; i < m_Track->Count(); ++i) {
        const int32_t segment = m_Track->RunAt(i).segment;
        (segment == kNoSegment ? waypoints : segments[segment])
            .push_back(PositionOf(m_Track->At(i)));
    }
    std::vector<std::vector<GeoPosition>> lines;
    for (auto& [segment, points] : segments) {
        lines.push_back(std::move(points));
    }
    m_Segments = static_cast<int>(lines.size());
    m_Map->SetLines(lines);
    m_Map->SetMarks(waypoints);
    m_Map->FitToContent();
    m_Status->setText(tr("Reading the photos..."));
}

void PreviewWindow::TakeListing(const RunPlan& plan) {
    for (const PlannedFolder& folder : plan.folders) {
        m_Photos.insert(m_Photos.end(), folder.photos.begin(), folder.photos.end());
    }
    PlaceAll();
}

void PreviewWindow::TakeRead(std::vector<std::pair<size_t, PlannedPhoto>> photos) {
    for (auto& [index, photo] : photos) {
        if (index < m_Photos.size()) {
            m_Photos[index] = std::move(photo);
        }
    }
    PlaceAll();
}

void PreviewWindow::PlaceAll() {
    if (m_Matcher == nullptr) {
        return;
    }
    QElapsedTimer timer;
    timer.start();
    const TaggingRunInputs inputs = CurrentInputs();
    for (PlannedPhoto& photo : m_Photos) {
        photo.placement = PlacePhoto(photo, inputs, *m_Matcher);
    }
    ShowPlacement();
    m_LastPlacingMs = static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void PreviewWindow::ShowPlacement() {
    const TaggingRunInputs inputs = CurrentInputs();
    std::vector<PhotoRow> rows;
    std::vector<MapMarker> markers;
    m_MarkerPhotos.clear();
    uint64_t read = 0;
    for (size_t i = 0; i < m_Photos.size(); ++i) {
        const PlannedPhoto& photo = m_Photos[i];
        read += photo.read ? 1 : 0;
        rows.push_back(RowOf(i, photo, inputs));
        if (rows.back().placed) {
            markers.push_back(
                {photo.placement.match->position, ColourOf(photo.placement.match->method)});
            m_MarkerPhotos.push_back(i);
        }
    }
    const uint64_t unplaced = read - markers.size();
    const QString summary =
        Counted(markers.size(), "photo", "photos") + tr(" on ") +
        Counted(static_cast<uint64_t>(m_Segments), "track segment", "track segments") + "; " +
        QString::fromStdString(GroupedCount(unplaced)) + tr(" not placed");
    m_Model->SetRows(std::move(rows));
    m_Map->SetMarkers(std::move(markers));
    m_Map->setAccessibleDescription(summary);
    m_Status->setText(m_AllRead ? summary
                                : tr("Reading the photos: ") +
                                      QString::fromStdString(GroupedCount(read)) + tr(" of ") +
                                      QString::fromStdString(GroupedCount(m_Photos.size())));
}

void PreviewWindow::SelectPhoto(size_t photo) {
    for (size_t marker = 0; marker < m_MarkerPhotos.size(); ++marker) {
        if (m_MarkerPhotos[marker] == photo) {
            m_Map->SelectMarker(static_cast<int>(marker));
            m_Map->CenterOn(m_Photos[photo].placement.match->position);
        }
    }
    ShowThumbnail(photo);
}

void PreviewWindow::ShowThumbnail(size_t photo) {
    const std::string bytes = ReadExifThumbnail(m_Photos[photo].file.path);
    QPixmap thumbnail;
    if (!bytes.empty() && thumbnail.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                                                 static_cast<uint>(bytes.size()))) {
        m_Thumbnail->setPixmap(thumbnail.scaledToHeight(120, Qt::SmoothTransformation));
    } else {
        m_Thumbnail->setText(tr("No thumbnail in this photo"));
    }
}

void PreviewWindow::SetClockFromPhoto() {
    if (const std::optional<int> correction = AskCorrectionFromPhoto(this, m_Request.clockPhoto)) {
        m_Correction->setValue(*correction);
    }
}

PreviewWindow::Result PreviewWindow::Exec() {
    QEventLoop loop;
    m_Loop = &loop;
    // A plan step: nothing else of the program is used while it is open.
    setWindowModality(Qt::ApplicationModal);
    show();
    m_Correction->setFocus(Qt::OtherFocusReason);
    loop.exec();
    m_Loop = nullptr;
    return m_Result;
}

void PreviewWindow::Finish(Result result) {
    m_Result = result;
    close();
}

void PreviewWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_Loop != nullptr) {
        m_Loop->quit();
    }
}
