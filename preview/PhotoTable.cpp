// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/PhotoTable.h"

#include <algorithm>

#include "match/PlacementText.h"
#include "platform/FileTime.h"
#include "platform/NumberText.h"
#include "platform/PathText.h"
#include "run/RunSummary.h"

namespace {

const char* const kHeaders[6] = {"Photo",  "Capture time", "Offset",
                                 "Placed", "To the fix",   "Outcome"};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

std::string CameraTime(int64_t count, bool withDate) {
    SYSTEMTIME st;
    if (!FileTimeToSystemTime(CountToFileTime(static_cast<uint64_t>(count)), &st)) {
        return std::string();
    }
    return withDate ? FormatC(40, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                              st.wHour, st.wMinute, st.wSecond)
                    : FormatC(16, "%02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
}

const char* MethodWord(PlacementMethod method) {
    return method == PlacementMethod::Exact          ? "exact"
           : method == PlacementMethod::Interpolated ? "interpolated"
                                                     : "nearest";
}

// The time from the photo to the fix it was placed at, or to the nearer of the two.
int64_t ToTheFix(const TrackMatch& match, int64_t utc) {
    const int64_t before = utc - match.beforeTime;
    const int64_t after = match.afterTime - utc;
    return match.method == PlacementMethod::Interpolated ? std::min(before, after)
                                                         : std::abs(match.beforeTime - utc);
}

std::string OutcomeText(const PlannedPhoto& photo, const TaggingRunInputs& inputs) {
    if (!photo.read) {
        return "reading";
    }
    if (!photo.readStatus.ok()) {
        return "cannot be read: " + photo.readStatus.message();
    }
    const Placement& placement = photo.placement;
    switch (placement.outcome) {
        case PhotoOutcome::Tag:
            return "placed";
        case PhotoOutcome::NoCaptureTime:
            return "not placed: no valid capture time";
        case PhotoOutcome::HadPosition:
            return "keeps the position it carries";
        default:
            return "not placed: " +
                   (inputs.interpolate
                        ? NotPlacedWhy(placement.why, placement.distance,
                                       ToleranceText(inputs.tolerance / kFileTimeUnitsPerMinute))
                        : "no track point within " +
                              ToleranceText(inputs.tolerance / kFileTimeUnitsPerMinute));
    }
}

}  // namespace

PhotoRow RowOf(size_t index, const PlannedPhoto& photo, const TaggingRunInputs& inputs) {
    PhotoRow row;
    row.photo = index;
    const Placement& placement = photo.placement;
    const std::string name = FileNameOf(photo.file.path);
    std::string time;
    std::string sentence = name;
    if (placement.capture) {
        row.utc = placement.Utc();
        time = CameraTime(placement.capture->corrected, true);
        sentence += ", " + CameraTime(placement.capture->corrected, false);
        row.columns[2] = Text(OffsetLabel(placement.capture->offset, inputs.clock.zoneId));
    } else {
        row.utc = INT64_MAX;
    }
    row.columns[0] = Text(name);
    row.columns[1] = Text(time);
    row.columns[5] = Text(OutcomeText(photo, inputs));
    if (placement.outcome == PhotoOutcome::Tag && placement.match) {
        row.placed = true;
        const std::string fix = SpanText(ToTheFix(*placement.match, row.utc));
        row.columns[3] = MethodWord(placement.match->method);
        row.columns[4] = Text(fix);
        sentence += std::string(", ") + MethodWord(placement.match->method) + ", " + fix +
                    " from the track";
    } else {
        sentence += ", " + row.columns[5].toStdString();
    }
    row.sentence = Text(sentence);
    return row;
}

void PhotoTableModel::SetRows(std::vector<PhotoRow> rows) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const PhotoRow& a, const PhotoRow& b) { return a.utc < b.utc; });
    if (rows.size() == m_Rows.size()) {
        m_Rows = std::move(rows);
        if (!m_Rows.empty()) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
        return;
    }
    beginResetModel();
    m_Rows = std::move(rows);
    endResetModel();
}

int PhotoTableModel::RowOfPhoto(size_t photo) const {
    for (size_t i = 0; i < m_Rows.size(); ++i) {
        if (m_Rows[i].photo == photo) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int PhotoTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_Rows.size());
}

int PhotoTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 6;
}

QVariant PhotoTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return QVariant();
    }
    const PhotoRow& row = m_Rows[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        return row.columns[index.column()];
    }
    if (role == Qt::AccessibleTextRole && index.column() == 0) {
        return row.sentence;
    }
    if (role == Qt::ToolTipRole) {
        return row.sentence;
    }
    return QVariant();
}

QVariant PhotoTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 6) {
        return QString::fromLatin1(kHeaders[section]);
    }
    return QVariant();
}
